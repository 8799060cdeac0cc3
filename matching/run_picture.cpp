#include "run_picture.h"

#include <algorithm>

#include "engine.h"

bool pictureRun(PersonMatcher& matcher, const PeopleMatch& match, const PeopleSettings& settings,
                const PictureSettings& picture, RunPicture* out) {
    const CandidatePairs& found = match.found;
    const uint64_t total = found.count();
    out->weights.reserve(total);
    out->scores.reserve(total);
    out->matched.reserve(total);
    out->records.reserve(total);
    out->levelCounts.assign(match.model.comparisons, std::vector<uint64_t>(kLevels + 1, 0));
    std::vector<PicturedPair> below, above;
    for (uint32_t x = 0; x + 1 < found.start.size(); ++x)
        for (uint64_t i = found.start[x]; i < found.start[x + 1]; ++i) {
            PicturedPair p;
            p.pair.x = x;
            p.pair.y = found.partners[i];
            if (!matcher.compare(&p.pair)) return false;
            p.weight = pairWeight(match.model, p.pair);
            p.score = matchScore(match, settings, p.pair);
            const bool reaches = p.score >= settings.threshold;
            out->weights.push_back(p.weight);
            out->scores.push_back(p.score);
            out->matched.push_back(reaches);
            out->records.push_back({p.pair.x, p.pair.y});
            for (int c = 0; c < match.model.comparisons; ++c) ++out->levelCounts[c][levelAt(p.pair.pattern, c)];
            (reaches ? above : below).push_back(p);
        }
    // Nearest the threshold: by score, then by weight (scores of 0 or 1
    // tie), the pair's records breaking what is left.
    auto nearest = [&](std::vector<PicturedPair>& side, bool reaching, std::vector<PicturedPair>* into) {
        auto closer = [reaching](const PicturedPair& a, const PicturedPair& b) {
            if (a.score != b.score) return reaching ? a.score < b.score : a.score > b.score;
            if (a.weight != b.weight) return reaching ? a.weight < b.weight : a.weight > b.weight;
            return a.pair.x != b.pair.x ? a.pair.x < b.pair.x : a.pair.y < b.pair.y;
        };
        const size_t n = std::min(picture.nearest, side.size());
        std::partial_sort(side.begin(), side.begin() + static_cast<std::ptrdiff_t>(n), side.end(), closer);
        into->assign(side.begin(), side.begin() + static_cast<std::ptrdiff_t>(n));
    };
    nearest(below, false, &out->below);
    nearest(above, true, &out->above);
    return true;
}
