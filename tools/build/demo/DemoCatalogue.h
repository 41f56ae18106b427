#pragma once

#include <array>
#include <span>
#include <string_view>

// The invented material the demo price list is composed from: sections with their chapter topics,
// and phrase banks for descriptions and notes. All texts are UTF-8.
namespace builder::demo {

// What a price pays for; it decides the wording of descriptions and the labour figures.
enum class ItemKind {
    Work,   // a finished work in place
    Supply, // material delivered to the site, no labour
    Hire,   // machine or equipment hired with its operator
    Labour, // an hour of a worker
    Safety, // site safety measures
};

// How the subarticles of an article differ from one another; each has nine steps of growing size.
enum class Variant {
    Thickness,
    Depth,
    Diameter,
    BarDiameter,
    ConcreteClass,
    CableSection,
    Current,
    Dimensions,
    Power,
    MachineSize,
    TreeSize,
    ShrubSize,
    Weight,
    Qualification,
    Length,
    Height,
    Width,
    Area,
    Capacity,
    ContainmentClass,
    Grain,
    Distance,
};

struct Topic
{
    std::string_view title; // the category, in capitals
    std::string_view scope; // what the chapter covers, lower case, no final stop
    std::string_view unit;
    ItemKind kind;
    Variant variant;
    double priceLow; // range of the first subarticle's price
    double priceHigh;
    std::array<std::string_view, 4> works; // article openings; trailing ones may be empty
};

struct SectionTheme
{
    std::string_view code;
    std::string_view name;
    int weight;            // share of the rows
    std::string_view note; // empty: no section note
    std::span<const Topic> topics;
};

// The sections of the demo price list in code order ("21" and "24" are not among them).
std::span<const SectionTheme> sectionThemes();

// The nine steps of a variant, smallest first.
std::span<const std::string_view> variantSteps(Variant variant);

struct KindPhrases
{
    std::span<const std::string_view> qualifiers; // where or when the work is done
    std::span<const std::string_view> execution;
    std::span<const std::string_view> inclusion;
    std::span<const std::string_view> closing;
    std::span<const std::string_view> details; // subarticle clauses
};
const KindPhrases& kindPhrases(ItemKind kind);

// Settings a repeated chapter topic is narrowed to ("in ambito urbano", ...).
std::span<const std::string_view> chapterSettings();
std::span<const std::string_view> chapterNotes();
std::span<const std::string_view> articleNotes();
std::span<const std::string_view> subarticleNotes();

} // namespace builder::demo
