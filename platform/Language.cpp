#include "platform/Language.hpp"

#include <libintl.h>

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <ostream>

namespace kes {
namespace {

constexpr const char* kDomain = "driftline";
// The text renderer draws one byte a character, the Latin-1 code point; gettext converts the
// catalogues' UTF-8 to it.
constexpr const char* kDrawnCodeset = "ISO-8859-1";
// gettext ignores LANGUAGE in the "C" locale; its UTF-8 twin is built into the C library, so the
// messages' locale can always be one where LANGUAGE counts, installed locales or not.
constexpr const char* kMessagesLocale = "C.UTF-8";

// The language the process speaks: gettext's own state, mirrored for languageInUse().
std::string& spoken() {
    static std::string code = "en";
    return code;
}

// "de" from "de_AT.UTF-8@euro"; "C" and "POSIX" name no language.
std::string_view languageOf(std::string_view locale) {
    return locale.substr(0, locale.find_first_of("_.@"));
}

// The environment as the game was started in it: once the game speaks, LANGUAGE is its own
// (gettext reads the language there), and "auto" must still mean the player's.
const Environment& startingEnvironment() {
    static const std::optional<std::string> language = processEnvironment()("LANGUAGE");
    static const Environment environment = [](const char* name) {
        return std::string_view(name) == "LANGUAGE" ? language : processEnvironment()(name);
    };
    return environment;
}

}  // namespace

std::string languageFromEnvironment(const Environment& environment) {
    for (const char* variable : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
        const auto value = environment(variable);
        if (!value || value->empty()) {
            continue;
        }
        std::string_view rest = *value;
        while (!rest.empty()) {
            const std::size_t colon = rest.find(':');
            const std::string_view code = languageOf(rest.substr(0, colon));
            if (findLanguage(code) != nullptr) {
                return std::string(code);
            }
            rest = colon == std::string_view::npos ? std::string_view{} : rest.substr(colon + 1);
        }
        // The first variable set decides, as for gettext: LANG=de does not outvote LC_ALL=C.
        if (std::string_view(variable) != "LANGUAGE") {
            break;
        }
    }
    return "en";
}

bool useLanguage(std::string_view code, const std::filesystem::path& catalogues,
                 std::ostream& console) {
    const Environment& started = startingEnvironment();  // before LANGUAGE is the game's
    const std::string wanted =
        code == "auto" ? languageFromEnvironment(started) : std::string(code);
    const auto english = [&](const std::string& why) {
        console << "The game speaks English: " << why << std::endl;
        setenv("LANGUAGE", "en", 1);
        textdomain(textdomain(nullptr));  // forgets the words looked up so far
        spoken() = "en";
        return false;
    };
    if (findLanguage(wanted) == nullptr) {
        return english("it has no language \"" + wanted + "\"");
    }
    const std::filesystem::path file =
        catalogues / wanted / "LC_MESSAGES" / (std::string(kDomain) + ".mo");
    std::error_code error;
    if (wanted != "en" && !std::filesystem::is_regular_file(file, error)) {
        return english("the catalogue " + file.string() + " is missing");
    }
    if (std::setlocale(LC_MESSAGES, kMessagesLocale) == nullptr) {
        return english(std::string("the C library has no ") + kMessagesLocale + " locale");
    }
    bindtextdomain(kDomain, catalogues.c_str());
    bind_textdomain_codeset(kDomain, kDrawnCodeset);
    setenv("LANGUAGE", wanted.c_str(), 1);
    textdomain(textdomain(nullptr));
    spoken() = wanted;
    return true;
}

std::string_view languageInUse() {
    return spoken();
}

const char* tr(const char* english) {
    // The empty message is the catalogue's header, not a word.
    return english[0] == '\0' ? english : dgettext(kDomain, english);
}

const char* trc(const char* context, const char* english) {
    // gettext keeps a context before the words, parted by an EOT; the key is made on the stack,
    // so a word looked up every frame allocates nothing.
    const std::string_view before(context);
    const std::string_view words(english);
    std::array<char, 256> key{};
    if (before.size() + words.size() + 2 > key.size()) {
        return english;  // no message of the game is that long
    }
    before.copy(key.data(), before.size());
    key[before.size()] = '\004';
    words.copy(key.data() + before.size() + 1, words.size());
    const char* found = dgettext(kDomain, key.data());
    return found == key.data() ? english : found;
}

const char* trn(const char* one, const char* many, unsigned long count) {
    return dngettext(kDomain, one, many, count);
}

std::string fill(std::string_view pattern, std::initializer_list<std::string_view> values) {
    std::string out;
    out.reserve(pattern.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const bool slot = pattern[i] == '{' && i + 2 < pattern.size() && pattern[i + 2] == '}' &&
                          pattern[i + 1] >= '1' && pattern[i + 1] <= '9';
        const auto index = slot ? static_cast<std::size_t>(pattern[i + 1] - '1') : 0;
        if (slot && index < values.size()) {
            out += *(values.begin() + index);
            i += 2;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

}  // namespace kes
