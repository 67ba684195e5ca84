#pragma once

#include <string>
#include <string_view>

namespace ostrel::engine {

// What the run is doing at the moment, so that a failure can say where it
// happened: "writing table 'Orders', field 'Price'".
class WritingPlace {
  public:
    // A stage without objects: "opening the database", "writing the title
    // block".
    void Stage(std::string_view description);
    // An object of a section, known by its position until its name is read.
    void Object(std::string_view kind, int position);
    void ObjectName(std::string_view name);
    // A member of the current object (a field, an index, a parameter).
    void Member(std::string_view kind, int position);
    void MemberName(std::string_view name);
    void ClearMember();

    // "writing table 'Orders', field 'Price'", or the stage.
    std::string Describe() const;

  private:
    static std::string Part(const std::string& kind, const std::string& name, int position);

    std::string stage_;
    std::string objectKind_;
    std::string objectName_;
    int objectPosition_ = -1;
    std::string memberKind_;
    std::string memberName_;
    int memberPosition_ = -1;
};

}  // namespace ostrel::engine
