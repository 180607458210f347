// The player's language. The words of the screens come from gettext's catalogues
// ("<catalogues>/<code>/LC_MESSAGES/driftline.mo", made by the build from po/<code>.po) as the
// bytes the text renderer draws: one byte a character, its Latin-1 code point. English is the
// sources' own and needs no catalogue. The console lines are never translated: players' scripts
// and the tests read them as they have always been.
//
// The language in use is the process's (gettext keeps it, read from the LANGUAGE variable of
// the environment, which useLanguage sets): choose the first one before other threads start.
// Changing it takes effect for every word looked up afterwards.
#pragma once

#include <array>
#include <filesystem>
#include <initializer_list>
#include <iosfwd>
#include <string>
#include <string_view>

#include "platform/GameFolders.hpp"

namespace kes {

struct Language {
    std::string_view code;  // as in settings.ini and the catalogues' folders
    std::string_view name;  // in itself, Latin-1
};

// English first: the language of the sources.
inline constexpr std::array<Language, 3> kLanguages{{{"en", "English"},
                                                     {"de", "Deutsch"},
                                                     {"fr",
                                                      "Fran\xE7"
                                                      "ais"}}};

// The language of `code`, if the game has it.
constexpr const Language* findLanguage(std::string_view code) {
    for (const Language& language : kLanguages) {
        if (language.code == code) {
            return &language;
        }
    }
    return nullptr;
}

// The environment's language as gettext reads it (LANGUAGE, then LC_ALL, LC_MESSAGES and LANG):
// the first of its languages the game has ("de" from "de_AT.UTF-8", "fr" from "sv:fr"), or "en".
std::string languageFromEnvironment(const Environment& environment);

// Speaks `code` from now on ("auto": the environment's). False, with one line on `console`, when
// the language is unknown or its catalogue is not under `catalogues`: English then.
bool useLanguage(std::string_view code, const std::filesystem::path& catalogues,
                 std::ostream& console);
// The code of the language spoken now.
std::string_view languageInUse();

// The player's words for `english`; `english` itself where the catalogue has none.
const char* tr(const char* english);
// The same for a word that means different things in different places ("Back" the menu entry
// and "Back" the gamepad's button).
const char* trc(const char* context, const char* english);
// The right form for `count` of a phrase with a number in it.
const char* trn(const char* one, const char* many, unsigned long count);
// Marks words for the catalogues' template that are looked up later, where they are shown.
constexpr const char* trLater(const char* english) {
    return english;
}
// The same for words looked up later with trc and this context.
constexpr const char* trcLater(const char* /*context*/, const char* english) {
    return english;
}

// `pattern` with {1}, {2} ... replaced by `values`, in whatever order the language puts them.
std::string fill(std::string_view pattern, std::initializer_list<std::string_view> values);

}  // namespace kes
