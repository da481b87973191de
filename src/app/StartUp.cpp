#include "StartUp.h"

#include "data/DataModule.h"
#include "platform/Prompter.h"

bool OpenDataModule(DataModule& dm, Prompter& prompter)
{
    switch (dm.open()) {
    case DataModule::OpenResult::Ok:
        return true;
    case DataModule::OpenResult::MissingFile:
        prompter.error(DataModule::MissingFileMessage, DataModule::FatalTitle);
        return false;
    case DataModule::OpenResult::CannotOpen:
        prompter.error(DataModule::CannotOpenMessage, DataModule::FatalTitle);
        return false;
    }
    return false;
}
