#include "app/core/report/content.h"

#include "model/classification.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace tessik {

const QString kReadingOrderNote =
    QStringLiteral("Blocks are read as the diagram shows them: row by row from the top, then left to right "
                   "within a row. A block belongs to a row when its box starts less than half a box below "
                   "the first box of that row.");

namespace {

const char *const kCategoryNames[] = {"Physical Resources",   "Structure/Process", "Information",
                                      "Knowledge and Skills", "Motives",           "Wellness/Capacity"};

// The notes classifications in the order the report lists them: each word alone, then the pairs,
// then all three, then none.
const std::pair<int, const char *> kNotesGroups[] = {{1, "Science"},
                                                     {2, "Technology"},
                                                     {4, "Human Factors"},
                                                     {3, "Science and Technology"},
                                                     {5, "Science and Human Factors"},
                                                     {6, "Technology and Human Factors"},
                                                     {7, "Science, Technology and Human Factors"},
                                                     {0, "No notes classification"}};

// A position a hand-edited file made unusable still sorts somewhere fixed.
float sortable(float value)
{
    return std::isnan(value) ? 0.0f : value;
}

std::vector<bool> causeMarks(const BlockTable &table, const std::vector<int> &live)
{
    std::vector<bool> hasChild(kMaxBlocks + 1, false);
    for (int id : live)
        if (const int parent = liveParent(table, id))
            hasChild[size_t(parent)] = true;
    std::vector<bool> cause(kMaxBlocks + 1, false);
    for (int id : live)
        cause[size_t(id)] = !hasChild[size_t(id)];
    return cause;
}

// Up the parent links from `from`, each block at most once.
ReportChain walkUp(const BlockTable &table, int from)
{
    ReportChain chain;
    std::vector<bool> seen(kMaxBlocks + 1, false);
    for (int id = from; id != 0; id = liveParent(table, id)) {
        if (seen[size_t(id)]) {
            chain.endsInLoop = true;
            break;
        }
        seen[size_t(id)] = true;
        chain.ids.push_back(id);
    }
    return chain;
}

void addChains(const BlockTable &table, const std::vector<int> &order, const std::vector<bool> &cause,
               ReportContent &content)
{
    std::map<int, std::vector<ReportChain>> byImpact;
    std::vector<ReportChain> looped;
    for (int id : order) {
        if (!cause[size_t(id)])
            continue;
        ReportChain chain = walkUp(table, id);
        if (chain.endsInLoop)
            looped.push_back(std::move(chain));
        else
            byImpact[chain.ids.back()].push_back(std::move(chain));
    }
    for (int id : order) {
        const auto found = byImpact.find(id);
        if (found == byImpact.end())
            continue;
        content.chainCount += int(found->second.size());
        for (ReportChain &chain : found->second)
            content.chains.push_back(std::move(chain));
    }
    for (ReportChain &chain : looped)
        content.chains.push_back(std::move(chain));
}

void addToGroup(ReportGroup &group, int id, bool isCause)
{
    ++group.blockCount;
    if (isCause)
        group.causes.push_back(id);
}

std::vector<ReportGroup> categoryGroups(const BlockTable &table, const std::vector<int> &order,
                                        const std::vector<bool> &cause)
{
    std::vector<ReportGroup> groups;
    for (int i = 0; i < 6; ++i)
        groups.push_back({QString::fromLatin1(kCategoryNames[i]), i + 1, 0, {}});
    groups.push_back({QStringLiteral("No category"), 0, 0, {}});
    for (int id : order) {
        const QString &text = table.block(id).category;
        const int index = categoryIndex(text);
        auto group = groups.begin() + (index > 0 ? index - 1 : 6);
        if (index == 0 && !text.isEmpty()) {
            group =
                std::find_if(groups.begin() + 7, groups.end(), [&](const ReportGroup &g) { return g.name == text; });
            if (group == groups.end())
                group = groups.insert(groups.end(), {text, 0, 0, {}});
        }
        addToGroup(*group, id, cause[size_t(id)]);
    }
    return groups;
}

std::vector<ReportGroup> notesGroups(const BlockTable &table, const std::vector<int> &order,
                                     const std::vector<bool> &cause)
{
    std::vector<ReportGroup> groups;
    std::map<int, size_t> place;
    for (const auto &[index, name] : kNotesGroups) {
        place[index] = groups.size();
        groups.push_back({QString::fromLatin1(name), index, 0, {}});
    }
    for (int id : order)
        addToGroup(groups[place[notesIndex(table.block(id).notes)]], id, cause[size_t(id)]);
    return groups;
}

} // namespace

int liveParent(const BlockTable &table, int id)
{
    const int parent = table.block(id).parent;
    return parent != id && table.isLive(parent) ? parent : 0;
}

std::vector<int> inReadingOrder(const BlockTable &table, std::vector<int> ids)
{
    const auto x = [&](int id) { return sortable(table.block(id).x); };
    const auto y = [&](int id) { return sortable(table.block(id).y); };
    std::stable_sort(ids.begin(), ids.end(), [&](int a, int b) { return y(a) < y(b); });
    for (auto row = ids.begin(); row != ids.end();) {
        const float top = y(*row);
        const auto end = std::find_if(row, ids.end(), [&](int id) { return y(id) >= top + kHalfBox; });
        std::stable_sort(row, end, [&](int a, int b) { return x(a) < x(b); });
        row = end;
    }
    return ids;
}

ReportContent reportContent(const BlockTable &table)
{
    ReportContent content;
    content.readingOrder = inReadingOrder(table, table.liveIds());
    const std::vector<int> &order = content.readingOrder;
    const std::vector<bool> cause = causeMarks(table, order);
    for (int id : order) {
        content.causeCount += cause[size_t(id)] ? 1 : 0;
        content.impactCount += liveParent(table, id) == 0 ? 1 : 0;
        content.unrootedBlocks += walkUp(table, id).endsInLoop ? 1 : 0;
    }
    addChains(table, order, cause, content);
    content.byCategory = categoryGroups(table, order, cause);
    content.byNotes = notesGroups(table, order, cause);
    return content;
}

} // namespace tessik
