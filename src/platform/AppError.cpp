#include "platform/AppError.h"

#include "platform/Prompter.h"

bool guarded(Prompter& prompter, const std::function<void()>& handler)
{
    try {
        handler();
        return true;
    } catch (const AppError& e) {
        prompter.error(e.text());
    }
    return false;
}
