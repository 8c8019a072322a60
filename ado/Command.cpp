#include "ado/Command.h"

#include "ado/Recordset.h"

namespace ado {

void Command::setActiveConnection(const Connection& c) {
    connection_ = std::make_unique<Connection>(c);
    prepared_.reset();
    preparedIn_ = 0;
}

void Command::setCommandText(const QString& text) {
    if (text != text_) {
        prepared_.reset();
        preparedIn_ = 0;
    }
    text_ = text;
}

qint64 Command::execute(const std::vector<platform::Variant>& parameters,
                        std::shared_ptr<Recordset>* rows) {
    if (!connection_) {
        raiseAdo(code::ConnectionUnusable, QStringLiteral("ADODB.Command"));
    }
    Engine& engine = connection_->engine();
    connection_->errors().clear();
    ExecResult r = connection_->guarded([&] {
        // A connection closed and opened again has a new engine: prepare again there.
        if (!prepared_ || preparedIn_ != connection_->session()) {
            prepared_.reset();
            prepared_ = engine.prepare(text_);
            preparedIn_ = connection_->session();
        }
        for (std::size_t i = 0; i < parameters.size(); ++i)
            prepared_->bind(static_cast<int>(i), parameters[i]);
        return prepared_->execute();
    });
    if (rows) {
        *rows = std::make_shared<Recordset>();
        if (r.cursor)
            (*rows)->openOver(std::move(r.cursor), *connection_, text_, adcursor::ForwardOnly,
                              adlock::ReadOnly);
    }
    return r.affected < 0 ? 0 : r.affected;
}

}  // namespace ado
