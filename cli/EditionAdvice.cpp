#include "cli/EditionAdvice.h"

namespace veldrin::cli {

std::string editionRefusalLine(const EditionChoice& choice) {
    std::string advice;
    switch (choice.reason) {
    case EditionRefusal::NamedReadsWorse:
        advice = "use --edition " + std::string(editionName(choice.candidates.at(0)));
        break;
    case EditionRefusal::NoEditionReads: advice = "check that the LVZ and its IMG belong together"; break;
    case EditionRefusal::Ambiguous: advice = "choose one with --edition"; break;
    case EditionRefusal::None: break;
    }
    return advice.empty() ? choice.refusal : choice.refusal + "; " + advice;
}

} // namespace veldrin::cli
