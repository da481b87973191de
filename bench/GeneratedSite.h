#pragma once

#include "TestFolder.h"
#include "data/Sql.h"
#include "data/WeightDerived.h"

#include <QElapsedTimer>
#include <cstdio>
#include <functional>
#include <memory>

/**
 * The one program folder a benchmark measures on, made on first use: `fill` writes its records in one
 * transaction, without the triggers on `weight`; the word lists and block totals are then made from
 * the records at once, and the statistics gathered. The folder lives until the program ends.
 */
inline TestFolder& generatedSite(int records, const std::function<void(TestFolder&)>& fill)
{
    static std::unique_ptr<TestFolder> made;
    if (!made) {
        auto t = std::make_unique<TestFolder>();
        QElapsedTimer timer;
        timer.start();
        const QSqlDatabase db = t->dm().weightdatabase();
        for (const char* trigger : {"insert", "delete", "update"})
            Sql::exec(db, QStringLiteral("DROP TRIGGER weight_derived_") + QLatin1String(trigger));
        Sql::inTransaction(db, [&] { fill(*t); });
        WeightDerived::rebuild(db, t->dm().dialect());
        Sql::exec(db, QStringLiteral("ANALYZE"));
        std::fprintf(stderr, "%d records written in %lld ms\n", records, timer.elapsed());
        made = std::move(t);
    }
    return *made;
}
