#pragma once

#include <QString>
#include <memory>
#include <vector>

#include "reportengine/ListRows.h"
#include "reportengine/ReportSource.h"

namespace reportengine {

// A list's rows as a statement gives them, streamed from the report's connection.
class ListQuery : public ListRows {
  public:
    ListQuery(std::shared_ptr<ReportSource> source, QString statement,
              std::vector<platform::Variant> parameters)
        : source_(std::move(source)),
          statement_(std::move(statement)),
          parameters_(std::move(parameters)) {}

    std::unique_ptr<Cursor> open() override;

  private:
    std::shared_ptr<ReportSource> source_;
    QString statement_;
    std::vector<platform::Variant> parameters_;
};

}  // namespace reportengine
