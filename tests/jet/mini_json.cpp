#include "tests/jet/mini_json.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace ostrel::jet::test {
namespace {

void AppendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

class Parser {
  public:
    explicit Parser(const std::string& text) : s_(text) {}

    JsonValue Parse() {
        JsonValue v = Value();
        Space();
        if (i_ != s_.size()) {
            Fail("trailing characters");
        }
        return v;
    }

  private:
    [[noreturn]] void Fail(const std::string& what) const {
        throw std::runtime_error("JSON: " + what + " at " + std::to_string(i_));
    }
    void Space() {
        while (i_ < s_.size() &&
               (s_[i_] == ' ' || s_[i_] == '\n' || s_[i_] == '\r' || s_[i_] == '\t')) {
            ++i_;
        }
    }
    char Peek() {
        Space();
        if (i_ >= s_.size()) {
            Fail("unexpected end");
        }
        return s_[i_];
    }
    void Expect(char c) {
        if (Peek() != c) {
            Fail(std::string("expected ") + c);
        }
        ++i_;
    }
    bool Literal(const char* word) {
        const std::string w(word);
        if (s_.compare(i_, w.size(), w) == 0) {
            i_ += w.size();
            return true;
        }
        return false;
    }
    std::uint32_t Hex4() {
        if (i_ + 4 > s_.size()) {
            Fail("short escape");
        }
        const std::uint32_t v =
            static_cast<std::uint32_t>(std::stoul(s_.substr(i_, 4), nullptr, 16));
        i_ += 4;
        return v;
    }
    std::string String() {
        Expect('"');
        std::string out;
        while (true) {
            if (i_ >= s_.size()) {
                Fail("unterminated string");
            }
            const char c = s_[i_++];
            if (c == '"') {
                return out;
            }
            if (c != '\\') {
                out += c;
                continue;
            }
            const char e = s_[i_++];
            switch (e) {
                case 'n':
                    out += '\n';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                case 'u': {
                    std::uint32_t cp = Hex4();
                    if (cp >= 0xD800 && cp < 0xDC00 && Literal("\\u")) {
                        const std::uint32_t low = Hex4();
                        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                    }
                    AppendUtf8(out, cp);
                    break;
                }
                default:
                    out += e;
            }
        }
    }
    JsonValue Value() {
        const char c = Peek();
        JsonValue v;
        if (c == '{') {
            ++i_;
            auto object = std::make_shared<JsonObject>();
            if (Peek() != '}') {
                do {
                    std::string key = String();
                    Expect(':');
                    object->emplace_back(std::move(key), Value());
                } while (Peek() == ',' && ++i_ != 0);
            }
            Expect('}');
            v.value = object;
        } else if (c == '[') {
            ++i_;
            auto array = std::make_shared<JsonArray>();
            if (Peek() != ']') {
                do {
                    array->push_back(Value());
                } while (Peek() == ',' && ++i_ != 0);
            }
            Expect(']');
            v.value = array;
        } else if (c == '"') {
            v.value = String();
        } else if (Literal("true")) {
            v.value = true;
        } else if (Literal("false")) {
            v.value = false;
        } else if (Literal("null")) {
            v.value = nullptr;
        } else {
            char* end = nullptr;
            const double d = std::strtod(s_.c_str() + i_, &end);
            if (end == s_.c_str() + i_) {
                Fail("unexpected character");
            }
            i_ = static_cast<std::size_t>(end - s_.c_str());
            v.value = d;
        }
        return v;
    }

    const std::string& s_;
    std::size_t i_ = 0;
};

const JsonValue kNull;

}  // namespace

const std::string& JsonValue::Str() const {
    if (!IsString()) {
        throw std::runtime_error("JSON value is not a string");
    }
    return std::get<std::string>(value);
}
double JsonValue::Num() const {
    if (!IsNumber()) {
        throw std::runtime_error("JSON value is not a number");
    }
    return std::get<double>(value);
}
bool JsonValue::Bool() const {
    if (!IsBool()) {
        throw std::runtime_error("JSON value is not a Boolean");
    }
    return std::get<bool>(value);
}
const JsonArray& JsonValue::Array() const {
    if (!IsArray()) {
        throw std::runtime_error("JSON value is not an array");
    }
    return *std::get<std::shared_ptr<JsonArray>>(value);
}
const JsonObject& JsonValue::Object() const {
    if (!IsObject()) {
        throw std::runtime_error("JSON value is not an object");
    }
    return *std::get<std::shared_ptr<JsonObject>>(value);
}
const JsonValue& JsonValue::operator[](const std::string& key) const {
    if (!IsObject()) {
        return kNull;
    }
    for (const auto& [k, v] : Object()) {
        if (k == key) {
            return v;
        }
    }
    return kNull;
}
bool JsonValue::Has(const std::string& key) const {
    if (!IsObject()) {
        return false;
    }
    for (const auto& [k, v] : Object()) {
        if (k == key) {
            return true;
        }
    }
    return false;
}

JsonValue ParseJson(const std::string& text) {
    return Parser(text).Parse();
}

JsonValue ReadJsonFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    std::stringstream buffer;
    buffer << in.rdbuf();
    return ParseJson(buffer.str());
}

}  // namespace ostrel::jet::test
