#include "gui/DetectedEdition.h"

#include <exception>

#include "base/ParallelFor.h"

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

DetectedEdition detectPickedEdition(const std::filesystem::path& lvzPath, const std::filesystem::path& imgPath) {
    try {
        // A pick waits for this: the level is read and its editions tried on every core, as a run would.
        const int jobs = machineThreads();
        const EditionChoice choice = chooseEdition(detectEdition(loadLevel(lvzPath, imgPath, {}, jobs), jobs), std::nullopt,
                                                   lvzPath.filename().string());
        if (!choice.edition) return {std::nullopt, "Edition not detected: " + editionRefusalText(choice)};
        return {choice.edition, "Detected: " + QString::fromStdString(editionTitle(*choice.edition))};
    } catch (const std::exception& e) {
        return {std::nullopt, "Edition not detected: " + QString::fromStdString(e.what())};
    }
}

} // namespace veldrin::gui
