#include "app/MenuTable.h"

#include "app/AboutBox.h"
#include "app/MainWindow.h"
#include "app/UpgradeWindow.h"
#include "audit/PasswordWindow.h"
#include "audit/ReviewWindows.h"
#include "audit/UserManagementWindow.h"
#include "data/DataModule.h"
#include "indicator/CommunicationSetupWindow.h"
#include "maintenance/BackupWindow.h"
#include "maintenance/ClearWindow.h"
#include "maintenance/CompactWindow.h"
#include "maintenance/InitialiseWindow.h"
#include "platform/AppContext.h"
#include "platform/Prompter.h"
#include "records/CustomPaperWindow.h"
#include "records/FieldDesignerWindow.h"
#include "records/QueryWindow.h"
#include "records/TicketDesignerWindow.h"
#include "records/SummaryWindow.h"
#include "records/UniversalTicket.h"
#include "weighing/DeductionWindow.h"
#include "weighing/MasterDataWindows.h"
#include "weighing/WeighStation.h"

using namespace Qt::Literals::StringLiterals;

namespace {

using Opener = std::function<void(MainWindow&)>;

/** A modal window `Window(AppContext&, QWidget* parent)`, shown until it closes. */
template <typename Window>
Opener modal()
{
    return [](MainWindow& main) {
        Window window(main.context(), &main);
        window.exec();
    };
}

/** A non-modal child `Window(AppContext&)` of the main window; `single`: one at a time. */
template <typename Window>
Opener child(MainWindow::Instances instances)
{
    return [instances](MainWindow& main) { main.openChild(new Window(main.context()), instances); };
}

/** Writes the operation-log entry `action` (empty content), then opens. */
Opener logged(const QString& action, Opener open = {})
{
    return [action, open](MainWindow& main) {
        main.context().dm.WriteLog(main.context().login.CurrentOperator, action, QString());
        if (open)
            open(main);
    };
}

/** The record report's design: a query window over the newest records lends its result to the designer. */
void designRecordReport(MainWindow& main)
{
    auto* query = new QueryWindow(main.context(), QueryWindow::Opening::NewestNow);
    main.openChild(query, MainWindow::Instances::Many);
    query->DesignReport();
}

/** A command of the main window itself. */
Opener command(void (MainWindow::*slot)())
{
    return [slot](MainWindow& main) { (main.*slot)(); };
}

} // namespace

namespace MenuTable {

const QList<QString>& menus()
{
    static const QList<QString> all{u"【系统管理】"_s, u"【用户管理】"_s, u"【称重过磅】"_s, u"【数据管理】"_s,
                                    u"【系统参数设置】"_s, u"【帮助说明】"_s, u"【退出系统】"_s};
    return all;
}

const QList<MenuEntry>& entries()
{
    using M = MainWindow;
    static const QString system = u"【系统管理】"_s, users = u"【用户管理】"_s, weigh = u"【称重过磅】"_s,
                         data = u"【数据管理】"_s, params = u"【系统参数设置】"_s, help = u"【帮助说明】"_s;
    static const QList<MenuEntry> all{
        {system, u"用户管理..."_s, u"N26"_s, u"用户管理"_s, modal<UserManagementWindow>()},
        {system, u"查看日志..."_s, u"N4"_s, u"查看日志"_s, modal<LogWindow>()},
        {system, u"查看数据黑匣子数据"_s, u"N28"_s, u"查看黑匣子"_s, modal<BlackBoxWindow>()},
        {system, {}, {}, {}, {}},
        {system, u"数据备份..."_s, u"N2"_s, u"数据备份"_s, modal<BackupWindow>()},
        {system, u"数据恢复..."_s, u"N3"_s, u"数据恢复"_s, command(&M::N3Click)},
        {system, u"数据清除..."_s, u"N6"_s, u"数据清除"_s, modal<ClearWindow>()},
        {system, u"初始化系统..."_s, u"N7"_s, u"初始化系统"_s, modal<InitialiseWindow>()},
        {system, u"压缩修复数据库..."_s, u"N9"_s, u"压缩数据库"_s, modal<CompactWindow>()},
        {system, {}, {}, {}, {}},
        {system, u"系统升级..."_s, u"N27"_s, u"系统升级"_s, modal<UpgradeWindow>()},
        {system, {}, {}, {}, {}},
        {system, u"重新启动计算机"_s, u"N50"_s, {}, command(&M::N50Click)},
        {system, u"关闭计算机"_s, u"N51"_s, {}, command(&M::N51Click)},
        {users, u"切换用户..."_s, u"N15"_s, {}, command(&M::N15Click)},
        {users, u"注销本用户..."_s, u"N53"_s, {}, command(&M::N53Click)},
        {users, {}, {}, {}, {}},
        {users, u"修改密码..."_s, u"N18"_s, u"修改密码"_s, modal<PasswordWindow>()},
        {users, u"用户个性化设置..."_s, u"N17"_s, u"用户个性化设置"_s, command(&M::N17Click)},
        {weigh, u"称重过磅"_s, u"N19"_s, u"称重过磅"_s, child<WeighStation>(M::Instances::One)},
        {weigh, {}, {}, {}, {}},
        {weigh, u"固定存皮"_s, u"N16"_s, u"固定存皮"_s, modal<TareWeightWindow>()},
        {weigh, u"产品单价"_s, u"N21"_s, u"产品单价"_s, modal<UnitPriceWindow>()},
        {data, u"查询与打印..."_s, u"N24"_s, u"查询打印"_s, child<QueryWindow>(M::Instances::Many)},
        {data, u"汇总与打印..."_s, u"N25"_s, u"汇总打印"_s, modal<SummaryWindow>()},
        {data, {}, {}, {}, {}},
        {data, u"查看回收站..."_s, u"N30"_s, u"查看回收站"_s, modal<RecycleBinWindow>()},
        {data, {}, {}, {}, {}},
        {data, u"设置扣杂功能"_s, u"N22"_s, u"设置扣杂功能"_s, modal<DeductionWindow>()},
        {params, u"1.设置称重项目..."_s, u"N33"_s, u"设置称重项目"_s, modal<FieldDesignerWindow>()},
        {params, u"2.设置通讯参数..."_s, u"N36"_s, u"设置通讯参数"_s, modal<CommunicationSetupWindow>()},
        {params, {}, {}, {}, {}},
        {params, u"连接远程数据库..."_s, u"N42"_s, {}, command(&M::N42Click)},
        {params, {}, {}, {}, {}},
        {params, u"3.设置打印机纸张..."_s, u"N31"_s, u"设置打印机纸张"_s, modal<CustomPaperWindow>()},
        {params, u"4.自定义万能磅单格式"_s, u"N46"_s, u"自定义万能磅单格式"_s,
         [](M& main) { UniversalTicket::design(main.context()); }},
        {params, u"5.设置报表格式..."_s, u"N20"_s, u"设置报表格式"_s, logged(u"修改报表"_s, designRecordReport)},
        {params, u"6.自定义快速磅单格式"_s, u"N61"_s, u"自定义快速磅单格式"_s,
         logged(u"修改磅单"_s, modal<TicketDesignerWindow>())},
        {help, u"科学计算器..."_s, u"N48"_s, {}, command(&M::N48Click)},
        {help, u"记事本..."_s, u"N52"_s, {}, command(&M::N52Click)},
        {help, {}, {}, {}, {}},
        {help, u"关于我们"_s, u"N38"_s, {}, modal<AboutBox>()},
        {help, u"重要说明"_s, u"N39"_s, {}, command(&M::N39Click)},
        {help, {}, {}, {}, {}},
        {help, u"帮助文件..."_s, u"N40"_s, {}, command(&M::N40Click)},
        {help, {}, {}, {}, {}},
        {help, u"视频帮助..."_s, u"N13"_s, {}, command(&M::N13Click)},
        {help, {}, {}, {}, {}},
    };
    return all;
}

} // namespace MenuTable
