# Drives one headless LibreOffice instance through its UNO bridge for the program.
#
# Started as: python3 calc_bridge.py CONNECT_STRING. Reads one JSON request per line on standard input
# and answers each with one JSON line on standard output: {"ok": true, ...} or {"ok": false, "error": text}.
# The office process itself is started and, when it hangs, ended by the program; this helper only
# connects to it and holds at most one document: opening another closes the first without saving.
import json
import sys
import time

import uno
from com.sun.star.beans import PropertyValue

CONNECT_TIMEOUT = 30.0


def prop(name, value):
    p = PropertyValue()
    p.Name = name
    p.Value = value
    return p


def connect(connect_string):
    local = uno.getComponentContext()
    resolver = local.ServiceManager.createInstanceWithContext("com.sun.star.bridge.UnoUrlResolver", local)
    deadline = time.monotonic() + CONNECT_TIMEOUT
    while True:
        try:
            ctx = resolver.resolve("uno:" + connect_string + ";urp;StarOffice.ComponentContext")
            return ctx.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", ctx)
        except Exception:
            if time.monotonic() > deadline:
                raise
            time.sleep(0.2)


class Bridge:
    def __init__(self, desktop):
        self.desktop = desktop
        self.doc = None

    def sheet(self, index):
        sheets = self.doc.Sheets
        if index < 0 or index >= sheets.Count:
            raise RuntimeError("工作簿中没有第%d个工作表" % (index + 1))
        return sheets.getByIndex(index)

    def open(self, req):
        if self.doc is not None:
            self.doc.close(True)
            self.doc = None
        url = uno.systemPathToFileUrl(req["path"])
        args = (prop("Hidden", True), prop("ReadOnly", False), prop("MacroExecutionMode", 0))
        doc = self.desktop.loadComponentFromURL(url, "_blank", 0, args)
        if doc is None or not doc.supportsService("com.sun.star.sheet.SpreadsheetDocument"):
            if doc is not None:
                doc.close(True)
            raise RuntimeError("不是电子表格工作簿")
        self.doc = doc
        return {"sheets": doc.Sheets.Count}

    def write(self, req):
        rows = req["rows"]
        if not rows:
            return {}
        width = max(len(r) for r in rows)
        if width == 0:
            return {}
        data = tuple(tuple(r[i] if i < len(r) else "" for i in range(width)) for r in rows)
        sheet = self.sheet(req["sheet"])
        top, left = req["row"], req["column"]
        cells = sheet.getCellRangeByPosition(left, top, left + width - 1, top + len(rows) - 1)
        # Strings that look like numbers or dates stay texts: the values are written as they are shown.
        cells.setDataArray(data)
        if req["fontSize"] > 0:
            cells.CharHeight = float(req["fontSize"])
            cells.CharHeightAsian = float(req["fontSize"])
        return {}

    def read(self, req):
        cell = self.sheet(req["sheet"]).getCellByPosition(req["column"], req["row"])
        return {"text": cell.getString()}

    def save(self, req):
        if self.doc.isReadonly():
            raise RuntimeError("工作簿是只读的，或已被其他程序打开")
        self.doc.store()
        return {}

    def print_sheet(self, req):
        target = self.sheet(req["sheet"])
        sheets = self.doc.Sheets
        hidden = []
        # Only visible sheets print, so the others are hidden while the one sheet goes out.
        try:
            for i in range(sheets.Count):
                other = sheets.getByIndex(i)
                if i != req["sheet"] and other.IsVisible:
                    other.IsVisible = False
                    hidden.append(other)
            target.IsVisible = True
            if req.get("printer"):
                self.doc.setPrinter((prop("Name", req["printer"]),))
                self.doc.print((prop("Wait", True),))
            else:
                url = uno.systemPathToFileUrl(req["pdf"])
                self.doc.storeToURL(url, (prop("FilterName", "calc_pdf_Export"),))
        finally:
            for other in hidden:
                other.IsVisible = True
        return {}

    def quit(self, req):
        if self.doc is not None:
            self.doc.close(True)
            self.doc = None
        try:
            self.desktop.terminate()
        except Exception:
            pass  # the office is gone already, which is what was asked
        return {}


def error_text(exc):
    message = getattr(exc, "Message", None) or str(exc)
    return message.strip() or type(exc).__name__


def main():
    out = sys.stdout
    try:
        bridge = Bridge(connect(sys.argv[1]))
    except Exception as exc:
        out.write(json.dumps({"ok": False, "error": error_text(exc)}) + "\n")
        out.flush()
        return 1
    out.write(json.dumps({"ok": True}) + "\n")
    out.flush()
    handlers = {"open": bridge.open, "write": bridge.write, "read": bridge.read, "save": bridge.save,
                "print": bridge.print_sheet, "quit": bridge.quit}
    # Requests come as UTF-8 whatever the locale says.
    for raw in sys.stdin.buffer:
        line = raw.decode("utf-8")
        if not line.strip():
            continue
        req = {}
        try:
            req = json.loads(line)
            answer = handlers[req["cmd"]](req)
            answer["ok"] = True
        except Exception as exc:
            answer = {"ok": False, "error": error_text(exc)}
        out.write(json.dumps(answer) + "\n")
        out.flush()
        if req.get("cmd") == "quit":
            break
    return 0


if __name__ == "__main__":
    sys.exit(main())
