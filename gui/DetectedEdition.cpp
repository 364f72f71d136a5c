#include "gui/DetectedEdition.h"

namespace veldrin::gui {

QString editionRefusalText(const EditionChoice& choice) {
    QString advice = "check that the LVZ and its IMG belong together";
    if (!choice.candidates.empty()) {
        advice = choice.candidates.size() == 1 ? "choose " : "choose one of ";
        for (std::size_t i = 0; i < choice.candidates.size(); ++i) {
            if (i > 0) advice += i + 1 == choice.candidates.size() ? " and " : ", ";
            advice += QString::fromStdString(editionTitle(choice.candidates[i]));
        }
    }
    return QString::fromStdString(choice.refusal) + "; " + advice;
}

} // namespace veldrin::gui
