#pragma once

#include <QString>
#include <memory>
#include <vector>

#include "ado/Connection.h"
#include "platform/Variant.h"

namespace ado {

class Recordset;

// A statement with "?" parameters run many times on one connection: prepared on its first run
// and kept prepared while the text and the connection stay the same.
class Command {
  public:
    void setActiveConnection(const Connection& c);
    void setCommandText(const QString& text);
    const QString& commandText() const { return text_; }

    // Runs with these parameter values; returns the rows affected and, when the statement gives
    // rows, opens them into `rows` (when given).
    qint64 execute(const std::vector<platform::Variant>& parameters,
                   std::shared_ptr<Recordset>* rows = nullptr);

  private:
    std::unique_ptr<Connection> connection_;
    QString text_;
    std::unique_ptr<Prepared> prepared_;
    quint64 preparedIn_ = 0;  // the connection session the statement was prepared in
};

}  // namespace ado
