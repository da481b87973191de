#pragma once

#include "platform/AppError.h"

/** A database statement failed; carries the database's own message. */
class DbError final : public AppError
{
public:
    using AppError::AppError;
};

/** A text could not be converted to the type a column or setting needs. */
class ConversionError final : public AppError
{
public:
    using AppError::AppError;
};
