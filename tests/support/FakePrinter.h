#pragma once
// A stand-in for the default printer in tests that fill paper boxes.
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "components/Other/PrintUtils.h"

namespace tovra::test {

// A printer that reports exactly these forms (name, width, height in tenths of a millimetre),
// with paper codes 1, 2, 3 ... in that order.
inline TPaperSource Printer(std::vector<std::tuple<std::string, int, int>> forms) {
    return [forms](int) {
        TPrinterPapers papers;
        std::int16_t code = 1;
        for (const auto& [name, width, height] : forms) {
            papers.Names.push_back(name);
            papers.Codes.push_back(code++);
            papers.Sizes.push_back({width, height});
        }
        return papers;
    };
}

}  // namespace tovra::test
