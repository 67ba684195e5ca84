#include "engine/writing_place.h"

namespace ostrel::engine {

void WritingPlace::Stage(std::string_view description) {
    stage_ = description;
    objectKind_.clear();
    objectName_.clear();
    memberKind_.clear();
    memberName_.clear();
}

void WritingPlace::Object(std::string_view kind, int position) {
    objectKind_ = kind;
    objectName_.clear();
    objectPosition_ = position;
    memberKind_.clear();
    memberName_.clear();
}

void WritingPlace::ObjectName(std::string_view name) {
    objectName_ = name;
}

void WritingPlace::Member(std::string_view kind, int position) {
    memberKind_ = kind;
    memberName_.clear();
    memberPosition_ = position;
}

void WritingPlace::MemberName(std::string_view name) {
    memberName_ = name;
}

void WritingPlace::ClearMember() {
    memberKind_.clear();
    memberName_.clear();
}

std::string WritingPlace::Part(const std::string& kind, const std::string& name, int position) {
    if (!name.empty()) {
        return kind + " '" + name + "'";
    }
    return kind + " number " + std::to_string(position + 1);
}

std::string WritingPlace::Describe() const {
    if (objectKind_.empty()) {
        return stage_;
    }
    std::string text = "writing " + Part(objectKind_, objectName_, objectPosition_);
    if (!memberKind_.empty()) {
        text += ", " + Part(memberKind_, memberName_, memberPosition_);
    }
    return text;
}

}  // namespace ostrel::engine
