#include "engine/locale_formatter.h"

#include <langinfo.h>
#include <clocale>

#include <cstdlib>
#include <ctime>
#include <string_view>
#include <utility>

namespace ostrel::engine {
namespace {

std::string TwoDigits(int value) {
    std::string text = std::to_string(value);
    return text.size() < 2 ? "0" + text : text;
}

std::string Digits(int value, bool padded) {
    return padded ? TwoDigits(value) : std::to_string(value);
}

bool IsCLocaleName(std::string_view name) {
    return name.empty() || name == "C" || name == "POSIX" || name.starts_with("C.");
}

// The LC_TIME locale the environment selects, as setlocale would pick it.
std::string EnvironmentTimeLocale() {
    for (const char* variable : {"LC_ALL", "LC_TIME", "LANG"}) {
        const char* value = std::getenv(variable);  // NOLINT(concurrency-mt-unsafe)
        if (value != nullptr && *value != '\0') {
            return value;
        }
    }
    return "C";
}

// Walks a strftime format: plain text and "%%" go to onText one character at
// a time, every other directive to onDirective, its E or O modifier dropped.
template <typename OnText, typename OnDirective>
void WalkFormat(std::string_view format, OnText onText, OnDirective onDirective) {
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 == format.size()) {
            onText(format[i]);
            continue;
        }
        char directive = format[++i];
        if ((directive == 'E' || directive == 'O') && i + 1 < format.size()) {
            directive = format[++i];
        }
        if (directive == '%') {
            onText('%');
        } else {
            onDirective(directive);
        }
    }
}

// Whether format holds one of the given strftime directives.
bool HasDirective(std::string_view format, std::string_view directives) {
    bool found = false;
    WalkFormat(
        format, [](char) {},
        [&](char directive) {
            found = found || directives.find(directive) != std::string_view::npos;
        });
    return found;
}

// Year-first patterns are ISO-like and keep their two-digit fields.
bool IsYearFirst(std::string_view dateFormat) {
    const auto year = dateFormat.find_first_of("yYF");
    const auto day = dateFormat.find_first_of("deD");
    return year != std::string_view::npos && year < day;
}

void AppendDate(std::string& out, std::string_view format, const schema::DateTime& v) {
    const bool padded = IsYearFirst(format);
    const auto text = [&out](char c) { out.push_back(c); };
    WalkFormat(format, text, [&](char directive) {
        switch (directive) {
            case 'd':
            case 'e':
                out += Digits(v.day, padded);
                break;
            case 'm':
                out += Digits(v.month, padded);
                break;
            case 'y':
            case 'Y':
            case 'G':
                out += std::to_string(v.year);
                break;
            case 'D':
                out += Digits(v.month, padded) + "/" + Digits(v.day, padded) + "/" +
                       std::to_string(v.year);
                break;
            case 'F':
                out += std::to_string(v.year) + "-" + TwoDigits(v.month) + "-" + TwoDigits(v.day);
                break;
            default:
                break;  // names of days and months have no place in a numeric date
        }
    });
}

void AppendTime(std::string& out, std::string_view format, const LocaleDateParts& parts,
                const schema::DateTime& v, bool padHour) {
    const bool twelveHour = !parts.am.empty() && !parts.pm.empty();
    const int hour12 = v.hour % 12 == 0 ? 12 : v.hour % 12;
    const auto text = [&out](char c) { out.push_back(c); };
    WalkFormat(format, text, [&](char directive) {
        switch (directive) {
            case 'H':
            case 'k':
                out += Digits(v.hour, padHour);
                break;
            case 'I':
            case 'l':
                out += std::to_string(twelveHour ? hour12 : v.hour);
                break;
            case 'M':
                out += TwoDigits(v.minute);
                break;
            case 'S':
                out += TwoDigits(v.second);
                break;
            case 'p':
                out += v.hour < 12 ? parts.am : parts.pm;
                break;
            case 'T':
                out +=
                    Digits(v.hour, padHour) + ":" + TwoDigits(v.minute) + ":" + TwoDigits(v.second);
                break;
            case 'R':
                out += Digits(v.hour, padHour) + ":" + TwoDigits(v.minute);
                break;
            case 'r':
                out += std::to_string(hour12) + ":" + TwoDigits(v.minute) + ":" +
                       TwoDigits(v.second) + " " + (v.hour < 12 ? parts.am : parts.pm);
                break;
            default:
                break;
        }
    });
}

class LocaleFormatter final : public ValueFormatter {
  public:
    explicit LocaleFormatter(LocaleDateParts parts) : parts_(std::move(parts)) {}

    std::string FormatDateTime(const schema::DateTime& value) const override {
        return FormatGeneralDate(parts_, value);
    }

    schema::DateTime Now() const override {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        ::localtime_r(&now, &local);
        return {.year = local.tm_year + 1900,
                .month = local.tm_mon + 1,
                .day = local.tm_mday,
                .hour = local.tm_hour,
                .minute = local.tm_min,
                .second = local.tm_sec};
    }

  private:
    LocaleDateParts parts_;
};

}  // namespace

std::optional<LocaleDateParts> LoadLocaleDateParts(const std::string& localeName) {
    const std::string name = localeName.empty() ? EnvironmentTimeLocale() : localeName;
    if (IsCLocaleName(name)) {
        return LocaleDateParts{};
    }
    locale_t locale = ::newlocale(LC_TIME_MASK, name.c_str(), static_cast<locale_t>(nullptr));
    if (locale == static_cast<locale_t>(nullptr)) {
        return std::nullopt;
    }
    LocaleDateParts parts;
    parts.dateFormat = ::nl_langinfo_l(D_FMT, locale);
    std::string timeFormat = ::nl_langinfo_l(T_FMT, locale);
    const std::string amPmFormat = ::nl_langinfo_l(T_FMT_AMPM, locale);
    const bool twelveHour = HasDirective(timeFormat, "rIlp");
    if (twelveHour && !amPmFormat.empty()) {
        timeFormat = amPmFormat;
    }
    if (twelveHour) {
        parts.am = ::nl_langinfo_l(AM_STR, locale);
        parts.pm = ::nl_langinfo_l(PM_STR, locale);
    }
    parts.timeFormat = timeFormat.empty() ? "%H:%M:%S" : timeFormat;
    ::freelocale(locale);
    if (parts.dateFormat.empty()) {
        return LocaleDateParts{};
    }
    return parts;
}

std::string FormatGeneralDate(const LocaleDateParts& parts, const schema::DateTime& value) {
    std::string out;
    if (parts.dateFormat.empty()) {
        out =
            std::to_string(value.year) + "-" + TwoDigits(value.month) + "-" + TwoDigits(value.day);
        if (!value.IsMidnight()) {
            out += " " + TwoDigits(value.hour) + ":" + TwoDigits(value.minute) + ":" +
                   TwoDigits(value.second);
        }
        return out;
    }
    AppendDate(out, parts.dateFormat, value);
    if (!value.IsMidnight()) {
        out.push_back(' ');
        AppendTime(out, parts.timeFormat, parts, value, IsYearFirst(parts.dateFormat));
    }
    return out;
}

std::unique_ptr<ValueFormatter> MakeLocaleFormatter(const std::string& localeName) {
    return std::make_unique<LocaleFormatter>(
        LoadLocaleDateParts(localeName).value_or(LocaleDateParts{}));
}

std::unique_ptr<ValueFormatter> MakeLocaleFormatter() {
    return MakeLocaleFormatter(std::string());
}

}  // namespace ostrel::engine
