#include "collision/ColMapConverter.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "base/ByteReader.h"
#include "base/Error.h"
#include "base/TextUtil.h"
#include "collision/ColWriter.h"
#include "collision/StoriesColReader.h"
#include "internal/ColMapSources.h"
#include "level/LevelInput.h"
#include "pcout/IdeIpl.h"
#include "pcout/ImgArchive.h"

namespace veldrin {

namespace {

constexpr const char* kBaseName = "ColMap";

std::vector<uint8_t> textBytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }


class Reporter {
public:
    Reporter(const ColCallbacks& callbacks, ColMapSummary& summary) : cb_(callbacks), summary_(summary) {}
    void status(const std::string& text) const {
        if (cb_.status) cb_.status(text);
    }
    void progress(int position, int maximum) const {
        if (cb_.progress) cb_.progress(position, maximum);
    }
    void warning(const std::string& text) const {
        ++summary_.warnings;
        if (cb_.warning) cb_.warning(text);
    }

private:
    const ColCallbacks& cb_;
    ColMapSummary& summary_;
};

std::vector<uint8_t> unpackDtz(const ColMapInputs& in) {
    std::vector<uint8_t> dtz = inflateStream(in.dtz, in.dtzName);
    if (dtz.size() < 4 || loadU32(dtz.data()) != kDtzMagic) {
        throw VeldrinError(kInvalidDtzMessage, in.dtzName + " inflates to data opening with " + openingBytes(dtz) +
                                                   ", not the \"GATG\" of a Stories game's GAME.DTZ");
    }
    return dtz;
}

int clampToInt(std::size_t n) { return static_cast<int>(std::min<std::size_t>(n, std::numeric_limits<int>::max())); }

} // namespace

ColMapResult convertColMap(const ColMapInputs& in, const ColMapOptions& o, const ColCallbacks& callbacks) {
    ColMapResult result;
    const Reporter report(callbacks, result.summary);
    const auto warn = [&report](const std::string& text) { report.warning(text); };
    const std::array<double, 3>& mapOffset = o.mapOffset;
    if (o.idOffset < 0) throw VeldrinError("The ID offset must be 0 or more");

    report.status("Unpacking " + in.dtzName);
    const std::vector<uint8_t> dtz = unpackDtz(in);

    report.status("Reading collisions...");
    std::vector<ColMapModel> models = readDtzModelTable(dtz);
    applyImgCollisions(models, in.img, warn);
    markEmptyModels(models, dtz, in.img, o.edition);

    report.status("Loading IPLs...");
    const int maximum = std::max(clampToInt(models.size()) - 1, 0);
    std::vector<ColMapInstance> instances;
    if (o.buildings) collectPool(dtz, GameDataPool::Buildings, models, instances, warn);
    if (o.treadables && o.edition == StoriesEdition::LCS) collectPool(dtz, GameDataPool::Treadables, models, instances, warn);
    if (o.dynamicObjects) collectPool(dtz, GameDataPool::Dummies, models, instances, warn);

    const bool withArchive = in.blankDff.has_value();
    std::string ide = ideHead(kBaseName);
    std::vector<uint8_t> col;
    ImgArchive archive;
    int32_t running = 0;
    const int64_t bound = collOutputBound(static_cast<int64_t>(dtz.size() + in.img.size()));
    for (std::size_t i = 0; i < models.size(); ++i) {
        ColMapModel& m = models[i];
        if (!m.isUsed) continue;
        const std::string name = o.modelPrefix + std::to_string(i);
        report.status("Processing " + name + ".col");
        report.progress(clampToInt(i), maximum);
        const StoriesColModel model =
            readStoriesColModel(m.inImg ? in.img : std::span<const uint8_t>(dtz), m.colOffset, m.sectionBase, o.edition,
                                colModelLabel(i, m));
        if (model.skippedFaces > 0) {
            report.warning(name + ": " + std::to_string(model.skippedFaces) +
                           " face(s) with a corner before the vertex section left out");
        }
        if (static_cast<int64_t>(col.size() + kCollHeaderSize + collBodySize(model)) > bound) {
            throw VeldrinError("Collision map: record " + name + " would take ColMap.col past " + std::to_string(bound) +
                               " bytes (" + std::to_string(kCollOutputPerInputByte) + " per byte of " + in.dtzName + " and the IMG); " +
                               "the model table names the same collision records over and over");
        }
        writeCOL(col, name, model);
        const int64_t id = int64_t(running) + o.idOffset;
        if (id > std::numeric_limits<int32_t>::max()) {
            throw VeldrinError("The ID offset " + std::to_string(o.idOffset) + " leaves no room for the IDs of " + name +
                               " and the models after it");
        }
        ide += ideObjsLine(static_cast<int32_t>(id), name, o.dictionary, 299, 0);
        if (withArchive) archive.addEntry(name + ".dff", *in.blankDff);
        m.colMapIndex = running++;
        ++result.summary.models;
        result.summary.modelIndices.push_back(static_cast<int>(i));
    }
    ide += ideTail();
    result.files.push_back({"ColMap.IDE", textBytes(ide)});

    if (withArchive) {
        if (o.target == TargetGame::GtaSa) report.status("Building COLMAP.IMG");
        for (OutputFile& file : finishImg(std::move(archive), "COLMAP", o.target, std::span<const uint8_t>(col), "ColMap.col"))
            result.files.push_back(std::move(file));
    }

    report.status("Building IPL");
    std::string ipl = iplHead(kBaseName);
    for (const ColMapInstance& instance : instances) {
        const ColMapModel& m = models[static_cast<std::size_t>(instance.model)];
        IplInstance line;
        line.id = m.colMapIndex + o.idOffset; // checked above for every converted model
        line.name = o.modelPrefix + std::to_string(instance.model);
        line.position = offsetPosition(instance.position, mapOffset);
        line.rotation = instance.rotation;
        ipl += iplInstanceLine(o.target, line);
    }
    ipl += iplTail();
    result.files.push_back({"ColMap.IPL", textBytes(ipl)});
    result.summary.instances = clampToInt(instances.size());

    if (!withArchive) result.files.push_back({"ColMap.col", std::move(col)});
    report.progress(maximum, maximum);
    return result;
}

} // namespace veldrin
