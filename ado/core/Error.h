#pragma once

#include <QString>
#include <exception>
#include <vector>

#include "platform/Failure.h"

namespace ado {

// Error numbers of the data layer (the numbers the suite's code compares with).
namespace code {
constexpr qint32 BofOrEof = 3021;
constexpr qint32 OperationNotAllowed = 3219;  // not allowed in this context (pending edit)
constexpr qint32 ItemNotFound = 3265;
constexpr qint32 ObjectClosed = 3704;
constexpr qint32 ObjectOpen = 3705;
constexpr qint32 ConnectionUnusable = 3709;
constexpr qint32 ArgumentsWrong = 3001;
constexpr qint32 NotUpdatable = 3251;
constexpr qint32 EFail = -2147467259;
constexpr qint32 Constraint = -2147217873;
constexpr qint32 ObjectNotFound = -2147217865;
constexpr qint32 CommandText = -2147217900;
constexpr qint32 Timeout = -2147217871;
constexpr qint32 RowNotLocated = -2147217864;
constexpr qint32 ConversionFailed = -2147217913;
constexpr qint32 Truncated = -2147217833;       // a text longer than its column
constexpr qint32 ErrorsOccurred = -2147217887;  // the database refused the statement otherwise
constexpr qint32 NotReadOnly = -2147217911;     // refused where a statement may only read
}  // namespace code

// SQL Server native error numbers that the embedded engine reproduces for the same cases.
namespace native {
constexpr qint32 DuplicateKey = 2627;
constexpr qint32 ForeignKeyOrCheck = 547;
constexpr qint32 NotNull = 515;
constexpr qint32 StringTruncation = 8152;
constexpr qint32 InvalidObject = 208;
constexpr qint32 InvalidColumn = 207;
constexpr qint32 Syntax = 102;
constexpr qint32 StatementTerminated = 3621;
constexpr qint32 CannotOpenDatabase = 4060;
}  // namespace native

// One diagnostic record of a failed operation.
struct Error {
    qint32 number = 0;
    QString description;
    QString source;
    QString sqlState;
    qint32 nativeError = 0;
};

// What an engine throws: every diagnostic record of the failure, in the order the database gave.
class EngineError : public std::exception {
  public:
    explicit EngineError(std::vector<Error> records) : records_(std::move(records)) {}
    explicit EngineError(Error record) : records_{std::move(record)} {}
    const std::vector<Error>& records() const { return records_; }
    const char* what() const noexcept override { return "engine error"; }

  private:
    std::vector<Error> records_;
};

// The record of a statement refused where only reading is allowed; nothing of it ran.
Error notReadOnly(const QString& source);

// The record of a failure whose cause is the lost link to the server.
Error lostConnection(const QString& source);

// Raises an error of the data layer itself (not of a database), as the platform's current error.
[[noreturn]] void raiseAdo(qint32 number, const QString& description, const QString& source);
// The same with the layer's standard text for its own numbers (3021, 3219, 3251, 3265, 3704,
// 3705, 3709).
[[noreturn]] void raiseAdo(qint32 number, const QString& source);

}  // namespace ado
