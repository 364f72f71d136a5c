#include "gui/DetectedEdition.h"

#include <exception>

#include "app/run/LevelRun.h"
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
        // The level is read and prepared as a run would, its editions tried on every core.
        ConversionOptions options;
        options.lvzPath = lvzPath;
        options.imgPath = imgPath;
        options.editionAuto = true;
        options.jobs = machineThreads();
        const PreparedLevel level = prepareLevel(options, {}, PrepareFor::Inspection);
        return {level.options.edition, "Detected: " + QString::fromStdString(editionTitle(level.options.edition))};
    } catch (const EditionRefused& e) {
        return {std::nullopt, "Edition not detected: " + editionRefusalText(e.choice())};
    } catch (const std::exception& e) {
        return {std::nullopt, "Edition not detected: " + QString::fromStdString(e.what())};
    }
}

} // namespace veldrin::gui
