#include "report/NaturalOrder.h"

namespace veldrin {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// -1, 0 or 1 as `a` comes before, with or after `b`, digit runs as numbers; `zeros` takes the first
// difference in leading zeros, for a tie.
int naturalCompare(std::string_view a, std::string_view b, int& zeros) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            const std::size_t startA = i, startB = j;
            while (i < a.size() && a[i] == '0') ++i;
            while (j < b.size() && b[j] == '0') ++j;
            if (zeros == 0 && i - startA != j - startB) zeros = i - startA < j - startB ? -1 : 1;
            const std::size_t digitsA = i, digitsB = j;
            while (i < a.size() && isDigit(a[i])) ++i;
            while (j < b.size() && isDigit(b[j])) ++j;
            // Without leading zeros, the longer run is the larger number; runs as long compare digit by digit.
            if (i - digitsA != j - digitsB) return i - digitsA < j - digitsB ? -1 : 1;
            const int digits = a.substr(digitsA, i - digitsA).compare(b.substr(digitsB, j - digitsB));
            if (digits != 0) return digits < 0 ? -1 : 1;
            continue;
        }
        const char x = lower(a[i]), y = lower(b[j]);
        if (x != y) return static_cast<unsigned char>(x) < static_cast<unsigned char>(y) ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}

} // namespace

bool naturalLess(std::string_view a, std::string_view b) {
    int zeros = 0;
    const int order = naturalCompare(a, b, zeros);
    if (order != 0) return order < 0;
    if (zeros != 0) return zeros < 0;
    return a < b;
}

} // namespace veldrin
