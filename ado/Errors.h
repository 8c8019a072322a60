#pragma once

#include <vector>

#include "ado/core/Error.h"

namespace ado {

// The errors collection of a connection: the records of the last failed operation.
class Errors {
  public:
    int count() const { return static_cast<int>(items_.size()); }
    // Raises 3265 for an index outside the collection.
    const Error& item(int index) const;
    void clear() { items_.clear(); }
    void assign(std::vector<Error> items) { items_ = std::move(items); }
    void add(Error e) { items_.push_back(std::move(e)); }

  private:
    std::vector<Error> items_;
};

}  // namespace ado
