#include "components/schema/database.h"

namespace ostrel::schema {

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
