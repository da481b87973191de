#pragma once

#include "reports/PreparedReport.h"

#include <optional>

class DataModule;

/** What the ticket designer window does with the template files, apart from its widgets. */
namespace TicketTemplates {

inline const QString CurrentTicket = QStringLiteral("当前磅单");

/**
 * The file a tree node stands for: a catalogue name's template, the default ticket for "当前磅单";
 * none for a group node (it has no file).
 */
std::optional<QString> fileOfNode(const DataModule& dm, const QString& nodeText);

/** Makes a catalogue template the default ticket ([默认磅单] 路径). */
void setDefault(DataModule& dm, const QString& templateFile);

/** Why a text cannot name a template file (empty, a folder part, characters a file name cannot hold). */
std::optional<QString> nameProblem(const QString& name);

/** Copies a template over `target`; returns the problem, naming the files, when it fails. */
std::optional<QString> copy(const QString& source, const QString& target);

/**
 * Puts a chosen file in place of a template, only when the engine can read it as a template; a file
 * it cannot read is refused with the reason and the old template kept.
 */
std::optional<QString> import(const QString& chosen, const QString& target);

/** A template prepared over the newest record, as the designer shows it; a missing file gives an empty page. */
PreparedReport preview(DataModule& dm, const QString& templateFile);

} // namespace TicketTemplates
