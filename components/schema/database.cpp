#include "components/schema/database.h"

#include "components/schema/schema_error.h"

namespace ostrel::schema {
namespace {

template <class T>
class EmptyCollection final : public Collection<T> {
  public:
    int Count() const override { return 0; }
    const T& Item(int index) const override {
        throw SchemaError("item " + std::to_string(index) + " is outside the empty collection");
    }
};

const EmptyCollection<AccessObject> kNoObjects;
const EmptyCollection<VbaModule> kNoModules;

}  // namespace

const Collection<AccessObject>& Database::Forms() const {
    return kNoObjects;
}

const Collection<AccessObject>& Database::Reports() const {
    return kNoObjects;
}

const Collection<AccessObject>& Database::Macros() const {
    return kNoObjects;
}

const Collection<VbaModule>& Database::Modules() const {
    return kNoModules;
}

void CloseQuietly(std::unique_ptr<Database>& database) noexcept {
    if (database) {
        try {
            database->Close();
        } catch (...) {  // NOLINT(bugprone-empty-catch): nothing more can be done
        }
        database.reset();
    }
}

}  // namespace ostrel::schema
