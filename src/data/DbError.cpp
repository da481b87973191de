#include "DbError.h"

#include "platform/Prompter.h"
#include "platform/SerialLine.h"

bool guarded(Prompter& prompter, const std::function<void()>& handler)
{
    try {
        handler();
        return true;
    } catch (const DbError& e) {
        prompter.error(e.text());
    } catch (const ConversionError& e) {
        prompter.error(e.text());
    } catch (const SerialError& e) {
        prompter.error(e.text());
    }
    return false;
}
