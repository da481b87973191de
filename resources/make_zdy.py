#!/usr/bin/python3
# Makes zdy.xls, the universal-ticket workbook a new program folder receives, with LibreOffice.
#
# Usage: /usr/bin/python3 resources/make_zdy.py OUTPUT.xls
# The first worksheet receives one weighing record from the program (row 1 the column names, row 2 the
# values). The second worksheet is the printed ticket: every value is looked up by its column name, so
# the ticket keeps working whatever order the site's record fields have.
import os
import shutil
import subprocess
import sys
import tempfile
import time

import uno
from com.sun.star.beans import PropertyValue

FIELDS = ["编号", "车号", "品名", "发货方", "收货方", "承运方", "毛重", "皮重", "净重", "单价", "金额",
          "扣重数", "扣杂方式", "皮重时间", "毛重时间", "皮重操作人", "毛重操作人", "补打次数", "备注"]

# The ticket: (row, label column, field) on a 6-column grid, two fields a row.
TICKET = [
    (4, "车号", "品名"),
    (5, "发货方", "收货方"),
    (6, "承运方", "备注"),
    (7, "毛重", "毛重时间"),
    (8, "皮重", "皮重时间"),
    (9, "净重", "扣杂方式"),
    (10, "单价", "金额"),
]


def prop(name, value):
    p = PropertyValue()
    p.Name = name
    p.Value = value
    return p


def lookup(field):
    match = 'MATCH("%s";$数据.$A$1:$AZ$1;0)' % field
    # Joined with "" so that an empty value shows as empty, not as 0.
    return '=IF(ISNA(%s);"";INDEX($数据.$A$2:$AZ$2;1;%s)&"")' % (match, match)


def start_office(profile, pipe):
    office = "/usr/lib/libreoffice/program/soffice.bin"
    if not os.path.exists(office):
        office = shutil.which("soffice")
    args = [office, "--headless", "--invisible", "--norestore", "--nologo", "--nodefault",
            "-env:UserInstallation=file://" + profile, "--accept=pipe,name=%s;urp;" % pipe]
    process = subprocess.Popen(args)
    local = uno.getComponentContext()
    resolver = local.ServiceManager.createInstanceWithContext("com.sun.star.bridge.UnoUrlResolver", local)
    deadline = time.monotonic() + 60
    while True:
        if process.poll() == 81:  # a new profile was made; the office wants to be started again
            process = subprocess.Popen(args)
        try:
            ctx = resolver.resolve("uno:pipe,name=%s;urp;StarOffice.ComponentContext" % pipe)
            return process, ctx.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", ctx)
        except Exception:
            if time.monotonic() > deadline:
                process.kill()
                raise
            time.sleep(0.2)


def build(desktop, output):
    doc = desktop.loadComponentFromURL("private:factory/scalc", "_blank", 0, (prop("Hidden", True),))
    sheets = doc.Sheets
    data = sheets.getByIndex(0)
    data.Name = "数据"
    sheets.insertNewByName("磅单", 1)
    for column, field in enumerate(FIELDS):
        data.getCellByPosition(column, 0).setString(field)

    ticket = sheets.getByName("磅单")
    title = ticket.getCellRangeByName("A1:F1")
    title.merge(True)
    ticket.getCellByPosition(0, 0).setString("称重计量单")
    title.CharHeight = 18
    title.CharHeightAsian = 18
    title.CharWeight = 150.0
    title.CharWeightAsian = 150.0
    title.HoriJustify = uno.Enum("com.sun.star.table.CellHoriJustify", "CENTER")
    ticket.getCellByPosition(0, 2).setString("编号：")
    ticket.getCellByPosition(1, 2).setFormula(lookup("编号"))
    for row, left, right in TICKET:
        for column, field in ((0, left), (3, right)):
            ticket.getCellByPosition(column, row - 1).setString(field)
            value = ticket.getCellRangeByPosition(column + 1, row - 1, column + 2, row - 1)
            value.merge(True)
            ticket.getCellByPosition(column + 1, row - 1).setFormula(lookup(field))
    ticket.getCellByPosition(0, 11).setString("司磅员：")
    ticket.getCellByPosition(1, 11).setFormula(lookup("毛重操作人"))
    ticket.getCellByPosition(3, 11).setString("司机：")
    cells = ticket.getCellRangeByName("A3:F12")
    cells.CharHeight = 11
    cells.CharHeightAsian = 11
    border = uno.createUnoStruct("com.sun.star.table.BorderLine2")
    border.OuterLineWidth = 18
    grid = ticket.getCellRangeByName("A4:F10")
    for side in ("TopBorder", "BottomBorder", "LeftBorder", "RightBorder"):
        setattr(grid, side, border)
    columns = ticket.Columns
    for index, width in enumerate([2200, 3000, 3000, 2200, 3000, 3000]):
        columns.getByIndex(index).Width = width
    style = doc.StyleFamilies.getByName("PageStyles").getByName(ticket.PageStyle)
    style.HeaderIsOn = False
    style.FooterIsOn = False
    doc.storeToURL(uno.systemPathToFileUrl(os.path.abspath(output)), (prop("FilterName", "MS Excel 97"),))
    doc.close(True)


def main():
    profile = tempfile.mkdtemp(prefix="zdy-profile-")
    process, desktop = start_office(profile, "zdy_%d" % os.getpid())
    try:
        build(desktop, sys.argv[1])
    finally:
        try:
            desktop.terminate()
        except Exception:
            pass
        try:
            process.wait(timeout=20)
        except subprocess.TimeoutExpired:
            process.kill()
        shutil.rmtree(profile, ignore_errors=True)


if __name__ == "__main__":
    main()
