#pragma once

#include <optional>
#include <span>
#include <string_view>

// The reading texts of the demo database: preface, methodological note, section introductions and the
// user manual of the program. All texts are UTF-8.
namespace builder::demo {

struct PremessaText
{
    std::string_view key; // "Prefazione", "Premessa" or a section code
    std::optional<std::string_view> premessa;
    std::optional<std::string_view> premessa2;
    std::optional<std::string_view> premessa3;
};

// Rows of table premesse, in key order.
std::span<const PremessaText> premesseTexts();

struct ManualTopic
{
    std::string_view title; // the caption of the manual's menu entry, leading dots included
    std::string_view text;
};

// Rows of table manuale, in the order of the manual's menu.
std::span<const ManualTopic> manualTopics();

} // namespace builder::demo
