// The player's words: the catalogues against the template the build makes from the sources, the
// sources against the template (a word drawn on a screen that is not marked for translation
// never reaches a catalogue), the bytes the catalogues hand the text renderer, and switching
// languages while the game runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Language.hpp"
#include "text/FontCollection.hpp"
#include "text/GlyphSet.hpp"

namespace kes {
namespace {

const std::filesystem::path kSources = DRIFTLINE_SOURCE_DIR;
const std::filesystem::path kCatalogues = kSources / "assets" / "locale";

std::string readAll(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string unescaped(std::string_view quoted) {
    std::string out;
    for (std::size_t i = 0; i < quoted.size(); ++i) {
        if (quoted[i] == '\\' && i + 1 < quoted.size()) {
            const char next = quoted[++i];
            out += next == 'n' ? '\n' : next == 't' ? '\t' : next;
        } else {
            out += quoted[i];
        }
    }
    return out;
}

struct Message {
    std::string context;  // empty: none
    std::string english;
    std::string plural;  // empty: none
};

// The messages of the template, its header left out.
std::vector<Message> templateMessages() {
    std::istringstream lines(readAll(DRIFTLINE_TEMPLATE_FILE));
    std::vector<Message> messages;
    Message message;
    std::string* field = nullptr;
    const auto keep = [&] {
        if (!message.english.empty()) {
            messages.push_back(message);
        }
        message = {};
    };
    for (std::string line; std::getline(lines, line);) {
        const auto quoted = [&](std::size_t from) {
            return unescaped(std::string_view(line).substr(from + 1, line.size() - from - 2));
        };
        if (line.rfind("msgctxt ", 0) == 0) {
            keep();
            field = &message.context;
            *field = quoted(8);
        } else if (line.rfind("msgid ", 0) == 0) {
            if (field != &message.context) {
                keep();
            }
            field = &message.english;
            *field = quoted(6);
        } else if (line.rfind("msgid_plural ", 0) == 0) {
            field = &message.plural;
            *field = quoted(13);
        } else if (line.rfind("msgstr", 0) == 0) {
            field = nullptr;
        } else if (line.rfind("\"", 0) == 0 && field != nullptr) {
            *field += quoted(0);
        }
    }
    keep();
    return messages;
}

const char* lookUp(const Message& message, unsigned long count) {
    if (!message.plural.empty()) {
        return trn(message.english.c_str(), message.plural.c_str(), count);
    }
    if (!message.context.empty()) {
        return trc(message.context.c_str(), message.english.c_str());
    }
    return tr(message.english.c_str());
}

// A literal of the sources, adjacent literals joined as the compiler joins them.
struct Literal {
    std::string text;
    std::size_t line = 0;
    std::string lineText;
};

// The string literals of a C++ source, comments left out.
std::vector<Literal> literalsOf(const std::string& source) {
    std::vector<Literal> literals;
    std::vector<std::string> lines;
    std::istringstream split(source);
    for (std::string line; std::getline(split, line);) {
        lines.push_back(line);
    }
    std::size_t line = 1;
    bool joinable = false;  // only white space since the last literal
    for (std::size_t i = 0; i < source.size(); ++i) {
        const char c = source[i];
        if (c == '\n') {
            ++line;
        } else if (source.compare(i, 2, "//") == 0) {
            i = source.find('\n', i) - 1;
        } else if (source.compare(i, 2, "/*") == 0) {
            const std::size_t end = source.find("*/", i);
            line += std::count(source.begin() + long(i), source.begin() + long(end), '\n');
            i = end + 1;
        } else if (c == '\'') {
            i = source.find('\'', i + (source[i + 1] == '\\' ? 3 : 2));
            joinable = false;
        } else if (c == '"') {
            std::string text;
            for (++i; source[i] != '"'; ++i) {
                text += source[i] == '\\' ? source[++i] : source[i];
            }
            if (joinable) {
                literals.back().text += text;
            } else {
                literals.push_back({text, line, lines[line - 1]});
            }
            joinable = true;
            continue;
        } else if (!std::isspace(static_cast<unsigned char>(c))) {
            joinable = false;
        }
    }
    return literals;
}

bool hasWord(const std::string& text) {
    return std::adjacent_find(text.begin(), text.end(), [](char a, char b) {
               return std::isalpha(static_cast<unsigned char>(a)) &&
                      std::isalpha(static_cast<unsigned char>(b));
           }) != text.end();
}

// What is never shown or never translated: includes, console lines, the screens' own names, and
// lines that say so ("not shown", "not translated": a setting's value, a file's name).
bool neverShown(const Literal& literal) {
    const std::string& line = literal.lineText;
    for (const char* mark : {"#include", "std::cout", "console <<", "name() const override",
                             "not shown", "not translated"}) {
        if (line.find(mark) != std::string::npos) {
            return true;
        }
    }
    return false;
}

class Speaking : public ::testing::Test {
protected:
    void TearDown() override {
        std::ostringstream console;
        useLanguage("en", kCatalogues, console);
    }
};

}  // namespace

TEST(LanguageWords, FillPutsTheValuesWhereThePatternSays) {
    EXPECT_EQ(fill("{2} before {1}", {"one", "two"}), "two before one");
    EXPECT_EQ(fill("{1} was {2}'s: {2} has none", {"A", "Brake"}), "A was Brake's: Brake has none");
    // Braces that are no slot, and slots with no value, stay as they are.
    EXPECT_EQ(fill("{x} {3} {1", {"v"}), "{x} {3} {1");
}

TEST(LanguageWords, TheEnvironmentChoosesAsGettextWould) {
    const auto environment = [](std::map<std::string, std::string> values) -> Environment {
        return [values](const char* name) -> std::optional<std::string> {
            const auto found = values.find(name);
            return found != values.end() ? std::optional(found->second) : std::nullopt;
        };
    };
    EXPECT_EQ(languageFromEnvironment(environment({{"LANG", "de_AT.UTF-8"}})), "de");
    EXPECT_EQ(languageFromEnvironment(environment({{"LANGUAGE", "sv:fr_CA"}})), "fr");
    EXPECT_EQ(languageFromEnvironment(environment({{"LC_ALL", "C"}, {"LANG", "de_DE"}})), "en");
    EXPECT_EQ(languageFromEnvironment(environment({{"LC_MESSAGES", "fr_FR@euro"}})), "fr");
    EXPECT_EQ(languageFromEnvironment(environment({{"LANGUAGE", "sv"}, {"LANG", "de_DE"}})), "de");
    EXPECT_EQ(languageFromEnvironment(environment({})), "en");
}

// Every message of the template has its words in each language, drawn from characters of the
// glyph set that the game's font has; the header is never handed out for an empty message.
TEST_F(Speaking, EveryCatalogueSaysEveryMessageInCharactersTheFontHas) {
    const std::vector<Message> messages = templateMessages();
    ASSERT_GT(messages.size(), 150u);
    FontLibrary library;
    FontCollection fonts(library);
    const auto face = fonts.openFormat(24.0f);
    for (const Language& language : kLanguages) {
        if (language.code == "en") {
            continue;
        }
        std::ostringstream console;
        ASSERT_TRUE(useLanguage(language.code, kCatalogues, console)) << console.str();
        EXPECT_EQ(languageInUse(), language.code);
        for (const Message& message : messages) {
            for (const unsigned long count : {1ul, 2ul}) {
                // gettext hands back the very words it was asked for when it has none of its own
                // (the same words translated come from the catalogue).
                const char* words = lookUp(message, count);
                const char* asked = count == 1 || message.plural.empty() ? message.english.c_str()
                                                                         : message.plural.c_str();
                EXPECT_NE(static_cast<const void*>(words), static_cast<const void*>(asked))
                    << language.code << " lacks \"" << message.english << "\"";
                for (const char* c = words; *c != '\0'; ++c) {
                    const auto code = static_cast<unsigned char>(*c);
                    EXPECT_NE(glyphSet.find(*c), std::string_view::npos)
                        << language.code << ": \"" << words << "\" has byte " << int(code);
                    EXPECT_TRUE(face->hasGlyph(code)) << "the font lacks " << int(code);
                }
            }
        }
        EXPECT_STREQ(tr(""), "");
    }
}

// The words change as the language does, in the running process, and back.
TEST_F(Speaking, SwitchingLanguagesChangesTheWordsAtOnce) {
    std::ostringstream console;
    ASSERT_TRUE(useLanguage("de", kCatalogues, console));
    EXPECT_STREQ(tr("Back"),
                 "Zur\xFC"
                 "ck");
    ASSERT_TRUE(useLanguage("fr", kCatalogues, console));
    EXPECT_STREQ(tr("Back"), "Retour");
    EXPECT_STREQ(tr("SETTINGS"), "PARAM\xC8TRES");
    ASSERT_TRUE(useLanguage("en", kCatalogues, console));
    EXPECT_STREQ(tr("Back"), "Back");
    EXPECT_TRUE(console.str().empty()) << console.str();
    // A language the game lacks, or a catalogue that is not there, is said and English spoken.
    EXPECT_FALSE(useLanguage("sv", kCatalogues, console));
    EXPECT_FALSE(useLanguage("de", kSources / "nowhere", console));
    EXPECT_EQ(languageInUse(), "en");
    EXPECT_STREQ(tr("Back"), "Back");
    EXPECT_NE(console.str().find("The game speaks English: it has no language \"sv\""),
              std::string::npos)
        << console.str();
    EXPECT_NE(console.str().find("nowhere/de/LC_MESSAGES/driftline.mo is missing"),
              std::string::npos)
        << console.str();
}

// Every word the screens, the race display and the captions draw is in the template the build
// makes, so no catalogue can miss it: a literal with a word in it in those sources is marked for
// translation, or stands on a line that is never shown or never translated (a console line, a
// screen's name, one that says so).
TEST(LanguageWords, EveryWordOnTheScreensIsInTheTemplate) {
    std::set<std::string> inTemplate;
    for (const Message& message : templateMessages()) {
        inTemplate.insert(message.english);
        inTemplate.insert(message.plural);
        inTemplate.insert(message.context);  // a context is no word shown, but stands beside one
    }
    std::vector<std::filesystem::path> sources;
    for (const auto& entry : std::filesystem::directory_iterator(kSources / "game" / "screens")) {
        sources.push_back(entry.path());
    }
    for (const char* level : {"Hud.cpp", "Captions.cpp", "Screenshots.cpp", "GhostField.cpp"}) {
        sources.push_back(kSources / "game" / "level" / level);
    }
    std::size_t checked = 0;
    for (const auto& source : sources) {
        for (const Literal& literal : literalsOf(readAll(source))) {
            if (!hasWord(literal.text) || neverShown(literal)) {
                continue;
            }
            ++checked;
            EXPECT_TRUE(inTemplate.count(literal.text) != 0)
                << source.filename().string() << ":" << literal.line << ": \"" << literal.text
                << "\" is not in the template: mark it with tr() or say why not";
        }
    }
    EXPECT_GT(checked, 100u);
}

}  // namespace kes
