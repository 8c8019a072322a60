#pragma once

#include <memory>
#include <vector>

#include "platform/Variant.h"

namespace reportengine {

// Where a list report's rows come from; read from the start as often as asked.
class ListRows {
  public:
    using Row = std::vector<platform::Variant>;

    class Cursor {
      public:
        virtual ~Cursor() = default;
        // The next row; false when there are no more. Database failures are raised.
        virtual bool next(Row& out) = 0;
    };

    virtual ~ListRows() = default;
    virtual std::unique_ptr<Cursor> open() = 0;
};

}  // namespace reportengine
