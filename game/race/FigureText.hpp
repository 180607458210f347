// A figure written into room of its own, in the same characters whatever the locale: the
// race display builds its figures every frame and allocates nothing for them, and the menus,
// the results and the replay's verdict write times the same way.
#pragma once

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <string>
#include <string_view>

namespace kes {

class FigureText {
public:
    // A whole number: "12".
    static FigureText whole(long value) {
        FigureText figure;
        figure.append(value);
        return figure;
    }
    // Three decimals, with "+" before a value that is not negative when `withSign`.
    static FigureText threeDecimals(float value, bool withSign = false) {
        FigureText figure;
        if (withSign && !std::signbit(value)) {
            figure.m_text[figure.m_length++] = '+';
        }
        const auto [end, error] =
            std::to_chars(figure.cursor(), figure.end(), value, std::chars_format::fixed, 3);
        figure.m_length = error == std::errc() ? std::size_t(end - figure.m_text) : 0;
        return figure;
    }
    // `label` then a whole number: "Next Zone 3".
    static FigureText labelled(std::string_view label, long value) {
        FigureText figure;
        const std::size_t length = std::min(label.size(), kRoom / 2);
        label.copy(figure.m_text, length);
        figure.m_length = length;
        figure.append(value);
        return figure;
    }

    std::string_view view() const { return {m_text, m_length}; }

private:
    static constexpr std::size_t kRoom = 48;

    char* cursor() { return m_text + m_length; }
    char* end() { return m_text + kRoom; }
    void append(long value) {
        const auto [end_, error] = std::to_chars(cursor(), end(), value);
        if (error == std::errc()) {
            m_length = std::size_t(end_ - m_text);
        }
    }

    char m_text[kRoom]{};
    std::size_t m_length = 0;
};

// Seconds with three decimals ("12.345"; "+0.250" with `withSign`), as a string.
inline std::string threeDecimals(float seconds, bool withSign = false) {
    return std::string(FigureText::threeDecimals(seconds, withSign).view());
}

}  // namespace kes
