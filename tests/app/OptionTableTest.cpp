#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "app/options/OptionTable.h"
#include "app/options/RunRecordOptions.h"

namespace veldrin {
namespace {

using Manifest = std::map<std::string, RunRecord::OptionValue>;

// A level as picked, which derives its folder and prefixes; the options given come after the pick.
// The edition is detected, as when none is named.
ConversionOptions picked() {
    ConversionOptions o;
    o.editionAuto = true;
    applyLevelPick(o, "levels/INDUST.lvz");
    return o;
}

Manifest manifestOf(const ConversionOptions& o) {
    const auto listed = recordedOptions(o);
    return Manifest(listed.begin(), listed.end());
}

// A value away from the default, as typed, for every value option of the table.
const std::map<OptionId, std::string> kOtherValues = {
    {OptionId::Out, "elsewhere"},        {OptionId::Edition, "vcs-psp"},     {OptionId::Target, "sa"},
    {OptionId::Txd, "group"},            {OptionId::ModelsPerTxd, "7"},      {OptionId::TexturePrefix, "tx"},
    {OptionId::DxtQuality, "high"},      {OptionId::MipmapThreshold, "64"},  {OptionId::ModelPrefix, "mdl"},
    {OptionId::DayMin, "10"},            {OptionId::NightMin, "200"},        {OptionId::IdOffset, "0"},
    {OptionId::MapOffset, "0.1,-2,3e5"}, {OptionId::Zon, "MAP.ZON"},         {OptionId::Island, "3"},
    {OptionId::Jobs, "3"},
};

// The text a manifest value is typed as on the command line.
std::string typed(const RunRecord::OptionValue& v) {
    if (const auto* text = std::get_if<std::string>(&v)) return *text;
    return std::to_string(std::get<int64_t>(v));
}

// An option that shapes the files but leaves the manifest as it was could not be told from a run
// without it (as --dxt-quality once was): every option of the table moves exactly its own line, and
// that line, typed again, gives the same manifest.
TEST(OptionTable, EveryOptionShowsInTheManifestAndReadsBackFromIt) {
    const Manifest defaults = manifestOf(picked());
    EXPECT_EQ(changedOptions(picked()), std::vector<std::string>{}) << "a picked level alone changes nothing";
    for (const OptionEntry& entry : optionTable()) {
        if (!entry.record) {
            // Only what happens around the level's files goes unlisted: the report itself and its
            // thumbnails, the old files removed.
            EXPECT_TRUE(entry.id == OptionId::Report || entry.id == OptionId::ReportThumbnails || entry.id == OptionId::Clean)
                << entry.name;
            continue;
        }
        ConversionOptions changed = picked();
        if (entry.flag) {
            changed.*entry.flag = true;
        } else {
            ASSERT_TRUE(kOtherValues.count(entry.id)) << entry.name << " needs a value here";
            entry.set(changed, kOtherValues.at(entry.id));
        }
        const Manifest manifest = manifestOf(changed);
        ASSERT_EQ(manifest.size(), defaults.size());
        for (const auto& [key, value] : manifest) EXPECT_EQ(value == defaults.at(key), key != entry.name) << entry.name << ": " << key;
        // The page lists exactly the option given.
        EXPECT_EQ(changedOptions(changed), std::vector<std::string>{entry.name}) << entry.name;
        // info's record holds only the options info takes.
        const bool infoTakes = std::find(std::begin(kInfoOptions), std::end(kInfoOptions), entry.id) != std::end(kInfoOptions);
        EXPECT_EQ(changedOptions(changed, kInfoOptions).size(), infoTakes ? 1u : 0u) << entry.name;

        if (entry.flag) continue;
        ConversionOptions again = picked();
        entry.set(again, typed(manifest.at(entry.name)));
        EXPECT_EQ(manifestOf(again), manifest) << entry.name;
    }
}

// The help's "(default X)" is the value a run gets when the option is not given.
TEST(OptionTable, HelpDefaultsAreTheDefaults) {
    const Manifest defaults = manifestOf(picked());
    int compared = 0;
    for (const OptionEntry& entry : optionTable()) {
        const std::string text = entry.defaultText;
        if (text.empty() || text.find(':') != std::string::npos || !entry.record) continue;
        EXPECT_EQ(typed(defaults.at(entry.name)), text) << entry.name;
        EXPECT_NE(optionHelp(entry).find("(default " + text + ")"), std::string::npos) << optionHelp(entry);
        ++compared;
    }
    EXPECT_GE(compared, 9);
}

} // namespace
} // namespace veldrin
