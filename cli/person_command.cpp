#include "person_command.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "../matching/clusters.h"
#include "../records/record_writer.h"
#include "../records/warnings.h"
#include "match_output.h"
#include "person_matcher.h"
#include "truth_column.h"

namespace {

const uint32_t kRandomPairs = 50000;  // for u: enough to see a date of birth shared by chance

struct PersonSettings {
    std::vector<std::string> fieldsA, fieldsB, with;
    double threshold = 0.5;
    CandidateBounds bounds;
};

int readSettings(const CommandContext& context, PersonSettings* settings) {
    const Options& options = context.options;
    if (!options.confirm.empty() || !options.key.empty() || !options.limit.empty())
        return context.usage("--confirm, --key and --limit belong to the matching of single names, not of people");
    settings->fieldsA = options.fields.empty() ? std::vector<std::string>{"1"} : options.fields;
    settings->fieldsB = options.fieldsB.empty() ? settings->fieldsA : options.fieldsB;
    settings->with = options.with;
    if (settings->with.size() + 2 > static_cast<size_t>(kMaxComparisons))
        return context.usage("--with takes " + std::to_string(kMaxComparisons - 2) + " fields at most");
    if (!options.threshold.empty()) {
        char* end = nullptr;
        settings->threshold = std::strtod(options.threshold.c_str(), &end);
        if (*end || end == options.threshold.c_str() || !(settings->threshold >= 0 && settings->threshold <= 1))
            return context.usage("--threshold takes a probability from 0 to 1, not \"" + options.threshold + "\"");
    }
    return EXIT_DONE;
}

std::string decimals(double value, int places) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", places, value);
    return text;
}

// For link --best and --one-to-one, where each record of A has at most
// one partner in B: per A record, the sum of its candidates' ratios, and
// the share of A's records that have a partner, fitted to them. B may hold
// one person more than once: the records of B that match an A record's
// heaviest candidate are the same partner, not its rivals, and that
// candidate is scored with their ratios summed.
struct Partners {
    std::vector<double> ratioSums;
    std::vector<uint32_t> heaviest;       // per A record: B's record of its heaviest candidate
    std::vector<double> heaviestRatios;   // the ratios of that record and of B's records that match it
    double share = 0.5;
    double others = 0;  // B's records
};

// A pair's probability of being one person: against its record's rivals
// when there are `partners`, else on its own.
double pairScore(const FsModel& model, const Partners* partners, const Candidate& pair) {
    double weight = pairWeight(model, pair);
    if (!partners) return model.probability(weight);
    if (partners->heaviest[pair.x] == pair.y)
        return partnersProbability(partners->heaviestRatios[pair.x], partners->ratioSums[pair.x], partners->share);
    return partnerProbability(weight, partners->ratioSums[pair.x], partners->others, partners->share);
}

// Each A record's sum of its candidates' ratios, at least that of the
// records of B that tie with it (a record with a part of its name
// missing), and the share of A's records with a partner, under `model`.
void setRatioSums(PersonMatcher& matcher, const FsModel& model, const std::vector<Candidate>& pairs,
                  Partners* partners) {
    std::fill(partners->ratioSums.begin(), partners->ratioSums.end(), 0.0);
    for (const Candidate& pair : pairs)
        partners->ratioSums[pair.x] += std::exp2(pairWeight(model, pair)) / partners->others;
    const uint32_t split = static_cast<uint32_t>(partners->ratioSums.size());
    for (uint32_t x = 0; x < split; ++x)
        partners->ratioSums[x] = std::max(partners->ratioSums[x], matcher.tiedRivals(x, split, partners->others));
    partners->share = fitPartnerShare(partners->ratioSums);
}

// The m of the model fitted to the candidates of records with at most one
// partner, u held: each candidate counts for its levels by its probability
// among its record's rivals, until m settles. The set m are the error
// rates of records in general; a list whose copies are spoiled more or
// less often, or whose near misses are mostly of one level, weighs its
// levels by what it shows. Where any record may match many, the
// candidates' probabilities say "shares a key" as much as "one person",
// and m stays set; so it does with --with fields, where a date shared by
// chance lifts the candidates that hold it and the fit feeds on itself:
// link --best --with dob of 20,000 against 100,000 generated records fell
// from F1 0.958 to 0.944 with it (names alone rose from 0.711 to 0.733).
void fitPartnerLevels(PersonMatcher& matcher, const std::vector<Candidate>& pairs, FsModel* model,
                      Partners* partners) {
    const int kMostRounds = 20;
    setRatioSums(matcher, *model, pairs, partners);
    std::vector<std::vector<double>> counts;
    for (int round = 0; round < kMostRounds; ++round) {
        counts.assign(model->comparisons, std::vector<double>(kLevels, 0.0));
        for (const Candidate& pair : pairs) {
            const double p = partnerProbability(pairWeight(*model, pair), partners->ratioSums[pair.x],
                                                partners->others, partners->share);
            for (int c = 0; c < model->comparisons; ++c) {
                const Level l = levelAt(pair.pattern, c);
                if (l != MISSING) counts[c][l] += p;
            }
        }
        const std::vector<std::vector<double>> before = model->m;
        setPartnerLevels(counts, model);
        setRatioSums(matcher, *model, pairs, partners);
        double moved = 0;
        for (int c = 0; c < model->comparisons; ++c)
            for (int l = 0; l < kLevels; ++l) moved = std::max(moved, std::fabs(model->m[c][l] - before[c][l]));
        if (moved < 1e-3) break;  // a tenth of a bit at the rarest level
    }
}

// The least weight whose probability on its own reaches `threshold`, a
// hair less for rounding; no bound for a threshold of 0 or 1 (which
// probabilities rounded to 1 reach).
double weightToReach(const FsModel& model, double threshold) {
    if (threshold <= 0 || threshold >= 1) return -HUGE_VAL;
    return std::log2(threshold / (1 - threshold) * (1 - model.share) / model.share) - 1e-6;
}

// The same among rivals: a candidate's probability is at most what it
// would be alone with π at its most (0.99) in place of the share; and as
// the candidates left out still count with their ratios among their
// record's rivals, only those 2^7 times too light to match alone are.
double partnerWeightToReach(uint64_t others, double threshold) {
    if (threshold <= 0 || threshold >= 1 || others == 0) return -HUGE_VAL;
    return std::log2(static_cast<double>(others) * threshold / (1 - threshold) * 0.01 / 0.99) - 7;
}

// Fills the heaviest candidate of each A record and the ratios of those of
// its candidates that match it (compared as a pair of B's records); false
// on an error answer. A candidate that weighs a thousandth of the
// heaviest's ratio or less is left out of the comparisons: it cannot move
// the score.
bool findSamePartners(PersonMatcher& matcher, const FsModel& model, const std::vector<Candidate>& pairs,
                      double threshold, Partners* partners) {
    const size_t split = partners->ratioSums.size();
    std::vector<double> heaviestWeight(split, -1e300);
    partners->heaviest.assign(split, UINT32_MAX);
    for (const Candidate& pair : pairs) {
        double weight = pairWeight(model, pair);
        if (weight > heaviestWeight[pair.x]) heaviestWeight[pair.x] = weight, partners->heaviest[pair.x] = pair.y;
    }
    partners->heaviestRatios.assign(split, 0);
    for (const Candidate& pair : pairs) {
        double weight = pairWeight(model, pair);
        const uint32_t best = partners->heaviest[pair.x];
        bool same = pair.y == best;
        if (!same && weight > heaviestWeight[pair.x] - 10) {
            Candidate inB;
            inB.x = std::min(pair.y, best);
            inB.y = std::max(pair.y, best);
            if (!matcher.compare(&inB)) return false;
            same = model.probability(pairWeight(model, inB)) >= threshold;
        }
        if (same) partners->heaviestRatios[pair.x] += std::exp2(weight) / partners->others;
    }
    return true;
}

// Candidates, their comparisons, the weights fitted to them, and the pairs
// that reach the threshold; false with the message written on an error
// answer. `link` says that the records below `split` are A's and the others
// B's; `partners`, when given, is filled and scores the pairs.
bool scorePairs(const CommandContext& context, PersonMatcher& matcher, bool link, uint32_t split, bool sameFile,
                const PersonSettings& settings, std::vector<Candidate>* matched, FsModel* model,
                uint64_t* candidateCount, Partners* partners = nullptr) {
    CandidatePairs found;
    // A link with an empty side has no pairs; the matcher would take a split
    // of 0 for one list and pair B's records among themselves.
    if (!link || (split > 0 && split < matcher.records())) matcher.candidates(split, sameFile, settings.bounds, &found);
    *candidateCount = found.count();
    *model = FsModel::start(matcher.comparisons());
    std::vector<std::vector<uint64_t>> randomLevels;
    if (!matcher.randomPairLevels(split, kRandomPairs, &randomLevels)) {
        context.message(matcher.error() + "; stopped");
        return false;
    }
    setRandomPairLevels(randomLevels, model);
    // Each record has about one partner among the other side's records.
    uint64_t others = split ? matcher.records() - split : matcher.records() - 1;
    model->share = others > 1 ? 1.0 / others : 0.5;
    model->records = matcher.records();
    for (int c = 0; c < kValueWeighted; ++c) model->codeAgreement[c] = matcher.codeAgreement(c);
    matched->clear();
    matcher.setModel(*model);
    const double atLeast = partners ? partnerWeightToReach(others, settings.threshold)
                                    : weightToReach(*model, settings.threshold);
    // Without partners each pair is scored on its own and kept only when it
    // matches, so that the tens of millions of candidates of a million
    // records are never held at once; with them every candidate's weight
    // counts, and all are kept but those too light to count.
    //
    // A candidate's other record is anywhere in memory, and waiting for it
    // was most of the time of a large list. So the candidates go through
    // steps some places apart: its bound line asked for; the pair bounded
    // from it (most pairs end here) and, if it may reach the weight, the
    // record's place and values asked for; its words; their facts and the
    // pair's cached levels; the pair compared.
    std::vector<Candidate> pairs;
    const uint64_t total = found.count();
    const uint64_t kApart = 4, kBounded = 2 * kApart, kPlaced = kBounded + kApart, kWorded = kPlaced + kApart,
                   kCompared = kWorded + kApart, kRing = 32;
    struct Slot {
        uint32_t x, y;
        bool mayReach;
    } ring[kRing];
    uint32_t x = 0;
    for (uint64_t i = 0; i < total + kCompared; ++i) {
        if (i >= kCompared) {
            const Slot& slot = ring[(i - kCompared) % kRing];
            if (slot.mayReach) {
                Candidate pair;
                pair.x = slot.x;
                pair.y = slot.y;
                bool reached;
                if (!matcher.compare(&pair, atLeast, &reached)) {
                    context.message(matcher.error() + "; stopped");
                    return false;
                }
                if (reached) {
                    if (partners) pairs.push_back(pair);
                    else if (pairScore(*model, nullptr, pair) >= settings.threshold) matched->push_back(pair);
                }
            }
        }
        if (i >= kWorded && i - kWorded < total) {
            const Slot& slot = ring[(i - kWorded) % kRing];
            if (slot.mayReach) {
                matcher.prefetch(slot.y, 3);
                matcher.prefetchLevels(slot.x, slot.y);
            }
        }
        if (i >= kPlaced && i - kPlaced < total) {
            const Slot& slot = ring[(i - kPlaced) % kRing];
            if (slot.mayReach) matcher.prefetch(slot.y, 2);
        }
        if (i >= kBounded && i - kBounded < total) {
            Slot& slot = ring[(i - kBounded) % kRing];
            slot.mayReach = matcher.mayReach(slot.x, slot.y, atLeast);
            if (slot.mayReach) matcher.prefetch(slot.y, 1);
        }
        if (i < total) {
            while (found.start[x + 1] <= i) ++x;
            ring[i % kRing] = {x, found.partners[i], false};
            matcher.prefetch(found.partners[i], 0);
        }
    }
    if (!partners) return true;
    found = CandidatePairs();
    partners->others = static_cast<double>(others);
    partners->ratioSums.assign(split, 0);
    if (settings.with.empty()) fitPartnerLevels(matcher, pairs, model, partners);
    else setRatioSums(matcher, *model, pairs, partners);
    if (!findSamePartners(matcher, *model, pairs, settings.threshold, partners)) {
        context.message(matcher.error() + "; stopped");
        return false;
    }
    for (const Candidate& pair : pairs)
        if (pairScore(*model, partners, pair) >= settings.threshold) matched->push_back(pair);
    return true;
}

// The fitted weights, one line, for --explain.
std::string weightsText(const FsModel& model, const std::vector<std::string>& names) {
    std::string text = "weights (u from random pairs; exact and close names by their share): ";
    for (int c = 0; c < model.comparisons; ++c) {
        if (c) text += "; ";
        text += names[c];
        for (int l = kLevels - 1; l >= 0; --l) {
            if (c >= 2 && l == SOME) continue;  // --with values are never nearly close
            char number[32];
            std::snprintf(number, sizeof number, " %s %+.1f", levelName(static_cast<Level>(l)),
                          model.weight(c, static_cast<Level>(l)));
            text += number;
        }
    }
    return text + "; prior " + decimals(model.share, 6);
}

// The width problems of a list, then its fields that could not be read.
void reportProblems(const NameList& list, Warnings& warnings) {
    for (const auto& problem : list.widthProblems) warnings.warn(list.where, problem.first, problem.second);
    for (const auto& problem : list.problems)
        warnings.warn(list.where, list.records[problem.first].line, problem.second + "; it counts as missing");
}

std::string counted(uint64_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// group --pairs: each matched pair with both its records, as link writes
// them, and the group that holds both; in the order of the first record,
// each record's heaviest pairs first.
int writeGroupPairs(CommandContext& context, const NameList& list, std::vector<Candidate> matched,
                    const FsModel& model, const std::vector<uint32_t>& groupOf, const std::vector<std::string>& names,
                    Warnings& warnings) {
    const Options& options = context.options;
    std::stable_sort(matched.begin(), matched.end(), [&](const Candidate& x, const Candidate& y) {
        if (x.x != y.x) return x.x < y.x;
        return pairWeight(model, x) > pairWeight(model, y);
    });
    std::vector<Column> columns = {{"line_a", true}, {"line_b", true}, {"group"}, {"score"}, {"weight"}};
    if (options.explain) columns.push_back({"explain"});
    Output out(*context.console.out);
    std::unique_ptr<RecordWriter> writer = makeWriter(out, writerSettings(context, columns, warnings));
    std::vector<HeaderPart> header(2);
    header[0].text = header[1].text = &list.headerText;
    header[0].unclosedQuote = header[1].unclosedQuote = list.headerUnclosedQuote;
    std::vector<std::string> aNames, bNames;
    if (distinguishColumns(list.headerFields, list.headerFields, &aNames, &bNames)) {
        header[0].fields = &aNames;
        header[1].fields = &bNames;
    }
    writer->start(list.bom, list.hasHeader ? &header : nullptr, list.headerEnd);
    OutRecord outA, outB;
    Value values[6];
    Row row;
    row.recordCount = 2;
    row.records[0] = &outA;
    row.records[1] = &outB;
    row.values = values;
    for (const Candidate& c : matched) {
        if (out.failed()) break;
        const NameRecord& ra = list.records[c.x];
        const NameRecord& rb = list.records[c.y];
        outA = outRecord(list, ra);
        outB = outRecord(list, rb);
        double weight = pairWeight(model, c);
        uint32_t group = groupOf[c.x] && groupOf[c.x] == groupOf[c.y] ? groupOf[c.x] : 0;
        std::string score = decimals(model.probability(weight), 3), weightText = decimals(weight, 1);
        std::string explanation = options.explain ? explainPair(model, c, names) : std::string();
        values[0] = Value::of(static_cast<int64_t>(ra.line));
        values[1] = Value::of(static_cast<int64_t>(rb.line));
        values[2] = group ? Value::of(static_cast<int64_t>(group)) : Value();
        values[3] = Value::of(score);
        values[4] = Value::of(weightText);
        values[5] = Value::of(explanation);
        writer->row(row);
    }
    if (!out.flush()) return context.lostOutput(out);
    return EXIT_DONE;
}

}  // namespace

const char kPersonHelp[] =
    "\n"
    "Matching people (the default):\n"
    "The name is cleaned before it is compared: blanks trimmed and collapsed,\n"
    "upper case, words split at blanks, hyphens and commas (Smith-Jones and Smith\n"
    "Jones meet), dots, quotes and apostrophes dropped (O'Brien is OBRIEN). With one\n"
    "field, \"Surname, Given\" puts the words before the comma last; the first word\n"
    "is the given name, the others the surname (one word: a surname). With several\n"
    "fields, the last holds the surname. Particles (van, de, von...) are not\n"
    "compared on their own; the parts of a name are also compared as one word.\n"
    "\n"
    "Candidates: every name word's first Double Metaphone code, the codes of a\n"
    "given name and a surname together, and every --with value with the first\n"
    "letter of each name word are keys, and the records of a key meet in pairs;\n"
    "a key held by more than 50 records pairs each only with the 2 next to it\n"
    "in the order of the names and of the names read backwards, so that\n"
    "frequent keys cost a few pairs a record, not a square; the first two\n"
    "letters of a given name and of a surname together are a key read that way\n"
    "at any size. A pair that cannot reach the threshold, whatever its names'\n"
    "comparisons give, is not compared.\n"
    "\n"
    "Each pair's given names and surnames are compared word by word, also\n"
    "crosswise (the given name of one with the surname of the other) when that\n"
    "agrees better: exact; close (ovLevenshtein within a fifth of the letters,\n"
    "ovGuthMatch 80 percent or more, a shared code within two fifths, or two\n"
    "neighbouring letters swapped: Tomsaz, Tomasz); some (a\n"
    "shared code, within half, 60 percent, an initial); different; or missing,\n"
    "which counts neither way. --with fields: equal, close (one character off, a\n"
    "date's day and month swapped), different or missing. A level weighs\n"
    "log2(m/u) (Fellegi-Sunter): u is measured on 50,000 random pairs of the\n"
    "input, m is set (a person's records agree exactly on a name 80 times in 100,\n"
    "on a date 88). An exact name weighs by its share of the other records (a\n"
    "name two records hold says more than one of every fiftieth), a close one\n"
    "by its code's share. With about one partner per record, a pair whose\n"
    "probability of being one person reaches --threshold (0.5) matches; with\n"
    "--best or --one-to-one, the probability is among the A record's rivals,\n"
    "with the share of A's records that have a partner fitted to the input (and\n"
    "m too, without --with); records of B that match the heaviest candidate are\n"
    "not its rivals.\n"
    "\n"
    "group: a group joins another only when at least half of the pairs between\n"
    "their records match, so weak chains do not join two people; columns group\n"
    "and score (the probability of the group's weakest pair); --pairs writes the\n"
    "matched pairs instead, with the group that holds both. link: columns\n"
    "line_a, line_b, score and weight; --best keeps each A record's heaviest\n"
    "pair, --one-to-one each B record's too. A file linked with itself pairs no\n"
    "record with itself. --explain adds each comparison's level and weight.\n";

// People are matched unless an option of the grouping by a shared code asks
// for that; --person with one of them is refused by readSettings.
bool wantsPersonMatching(const Options& options) {
    return options.person || (options.confirm.empty() && options.key.empty() && options.limit.empty());
}

namespace {

// A list of single names (surnames alone, say) rarely holds the evidence
// that two records are one person; where candidates met but none matched,
// say what groups look-alike names instead.
void hintAtCodes(const CommandContext& context, const PersonSettings& settings, uint64_t candidates,
                 size_t matched) {
    if (candidates > 0 && matched == 0 && settings.with.empty())
        context.message("no pair is likely enough one person; to group look-alike names by a shared code "
                        "instead, give --confirm (ovrin help group)");
}

}  // namespace

int runPersonGroup(CommandContext& context, const std::vector<std::string>& words) {
    if (words.size() > 2) return context.usage("group takes one file at most: ovrin group [options] [FILE]");
    PersonSettings settings;
    int status = readSettings(context, &settings);
    if (status != EXIT_DONE) return status;
    const Options& options = context.options;
    if (options.pairs && options.all)
        return context.usage("--pairs writes pairs, so --all has no records alone to add: give one of the two");
    PersonMatcher matcher;
    std::string problem;
    if (!matcher.open(context, &problem)) return context.usage(problem);
    PersonList people;
    people.list.input = words.size() > 1 ? words[1] : "-";
    status = readPersonList(context, settings.fieldsA, settings.with, &people);
    if (status != EXIT_DONE) return status;
    const NameList& list = people.list;
    StringPool labels;
    std::vector<uint32_t> truthOf;
    if (!options.truth.empty() && !readTruth(context, list, options.truth, &labels, &truthOf, &problem))
        return context.usage(problem);
    if (!matcher.add(people)) {
        context.message(matcher.error() + "; stopped");
        return EXIT_FAULTS;
    }
    std::vector<Candidate> matched;
    FsModel model;
    uint64_t candidates = 0;
    if (!scorePairs(context, matcher, false, 0, false, settings, &matched, &model, &candidates)) return EXIT_FAULTS;

    std::vector<MatchedPair> edges;
    for (const Candidate& c : matched) edges.push_back({c.x, c.y, pairWeight(model, c)});
    const size_t recordCount = list.records.size();
    std::vector<uint32_t> groupOf = clusterPairs(recordCount, edges);
    uint32_t groupCount = 0;
    for (uint32_t g : groupOf) groupCount = std::max(groupCount, g);
    // Each group's weakest pair within it: how sure the group is.
    std::vector<const Candidate*> weakest(groupCount + 1, nullptr);
    for (const Candidate& c : matched) {
        uint32_t g = groupOf[c.x];
        if (!g || g != groupOf[c.y]) continue;
        if (!weakest[g] || pairWeight(model, c) < pairWeight(model, *weakest[g])) weakest[g] = &c;
    }
    std::vector<std::vector<uint32_t>> members(groupCount + 1);
    for (uint32_t r = 0; r < recordCount; ++r)
        if (groupOf[r]) members[groupOf[r]].push_back(r);

    Warnings warnings(*context.console.err, "ovrin");
    reportProblems(list, warnings);
    const std::vector<std::string> names = comparisonNames(settings.with);
    uint64_t grouped = 0;
    for (uint32_t g = 1; g <= groupCount; ++g) grouped += members[g].size();
    if (options.pairs) {
        status = writeGroupPairs(context, list, matched, model, groupOf, names, warnings);
        if (status != EXIT_DONE) return status;
    } else {
        std::vector<Column> columns = {{"group"}, {"score"}};
        if (options.explain) columns.push_back({"explain"});
        Output out(*context.console.out);
        std::unique_ptr<RecordWriter> writer = makeWriter(out, writerSettings(context, columns, warnings));
        std::vector<HeaderPart> header(1);
        header[0].text = &list.headerText;
        header[0].unclosedQuote = list.headerUnclosedQuote;
        writer->start(list.bom, list.hasHeader ? &header : nullptr, list.headerEnd);
        std::vector<OutRecord> records;
        std::vector<const OutRecord*> pointers;
        for (uint32_t r = 0; r < recordCount && !out.failed(); ++r) {
            uint32_t g = groupOf[r];
            if (g == 0 && !options.all) continue;
            if (g != 0 && members[g][0] != r) continue;  // written with its group
            records.clear();
            if (g)
                for (uint32_t m : members[g]) records.push_back(outRecord(list, list.records[m]));
            else
                records.push_back(outRecord(list, list.records[r]));
            pointers.clear();
            for (const OutRecord& record : records) pointers.push_back(&record);
            std::string score, explanation;
            Value values[3];
            if (g) {
                score = decimals(model.probability(pairWeight(model, *weakest[g])), 3);
                explanation = "weakest pair: lines " + std::to_string(list.records[weakest[g]->x].line) + " and " +
                              std::to_string(list.records[weakest[g]->y].line) + ": " +
                              explainPair(model, *weakest[g], names);
                values[0] = Value::of(static_cast<int64_t>(g));
                values[1] = Value::of(score);
                values[2] = Value::of(explanation);
            }
            Row row;
            row.members = pointers.data();
            row.memberCount = pointers.size();
            row.values = values;
            writer->row(row);
        }
        if (!out.flush()) return context.lostOutput(out);
    }
    context.message(counted(recordCount, "record", "records") + ": " + std::to_string(grouped) + " in " +
                    counted(groupCount, "group", "groups") + ", " + std::to_string(recordCount - grouped) +
                    " alone (" + std::to_string(list.withoutName) + " without a name); " +
                    counted(candidates, "candidate pair", "candidate pairs") + ", " + std::to_string(matched.size()) +
                    " matched");
    hintAtCodes(context, settings, candidates, matched.size());
    if (options.explain) context.message(weightsText(model, names));
    if (!options.truth.empty()) context.message(pairCountsText(countGroupPairs(groupOf, truthOf)));
    return warnings.count() > 0 ? EXIT_FAULTS : EXIT_DONE;
}

int runPersonLink(CommandContext& context, const std::vector<std::string>& words) {
    if (words.size() != 3) return context.usage("link needs two files: ovrin link [options] FILE_A FILE_B");
    if (words[1] == "-" && words[2] == "-") return context.usage("only one of the two files can be stdin (-)");
    PersonSettings settings;
    int status = readSettings(context, &settings);
    if (status != EXIT_DONE) return status;
    const Options& options = context.options;
    PersonMatcher matcher;
    std::string problem;
    if (!matcher.open(context, &problem)) return context.usage(problem);
    PersonList a, b;
    a.list.input = words[1];
    b.list.input = words[2];
    status = readPersonList(context, settings.fieldsA, settings.with, &a);
    if (status == EXIT_DONE) status = readPersonList(context, settings.fieldsB, settings.with, &b);
    if (status != EXIT_DONE) return status;
    StringPool labels;
    std::vector<uint32_t> truthOfA, truthOfB;
    if (!options.truth.empty() && (!readTruth(context, a.list, options.truth, &labels, &truthOfA, &problem) ||
                                   !readTruth(context, b.list, options.truth, &labels, &truthOfB, &problem)))
        return context.usage(problem);
    if (!matcher.add(a) || !matcher.add(b)) {
        context.message(matcher.error() + "; stopped");
        return EXIT_FAULTS;
    }
    const uint32_t split = static_cast<uint32_t>(a.list.records.size());
    // The same file on both sides: no record is paired with itself.
    bool sameFile = words[1] == words[2] && settings.fieldsA == settings.fieldsB;
    std::vector<Candidate> matched;
    FsModel model;
    uint64_t candidates = 0;
    Partners partners;
    Partners* onePartner = options.best || options.oneToOne ? &partners : nullptr;
    if (!scorePairs(context, matcher, true, split, sameFile, settings, &matched, &model, &candidates, onePartner))
        return EXIT_FAULTS;

    // The heaviest first; --best keeps each A record's first, --one-to-one
    // also each B record's first.
    std::stable_sort(matched.begin(), matched.end(), [&](const Candidate& x, const Candidate& y) {
        return pairWeight(model, x) > pairWeight(model, y);
    });
    if (options.best || options.oneToOne) {
        std::vector<bool> aTaken(split, false), bTaken(b.list.records.size(), false);
        std::vector<Candidate> kept;
        for (const Candidate& c : matched) {
            if (aTaken[c.x] || (options.oneToOne && bTaken[c.y - split])) continue;
            aTaken[c.x] = true;
            bTaken[c.y - split] = true;
            kept.push_back(c);
        }
        matched.swap(kept);
    }
    // Written in A's order, each A record's pairs heaviest first.
    std::stable_sort(matched.begin(), matched.end(), [](const Candidate& x, const Candidate& y) { return x.x < y.x; });

    Warnings warnings(*context.console.err, "ovrin");
    reportProblems(a.list, warnings);
    reportProblems(b.list, warnings);
    std::vector<Column> columns = {{"line_a", true}, {"line_b", true}, {"score"}, {"weight"}};
    if (options.explain) columns.push_back({"explain"});
    Output out(*context.console.out);
    std::unique_ptr<RecordWriter> writer = makeWriter(out, writerSettings(context, columns, warnings));
    std::vector<HeaderPart> header(2);
    header[0].text = &a.list.headerText;
    header[1].text = &b.list.headerText;
    header[0].unclosedQuote = a.list.headerUnclosedQuote;
    header[1].unclosedQuote = b.list.headerUnclosedQuote;
    std::vector<std::string> aNames, bNames;
    if (distinguishColumns(a.list.headerFields, b.list.headerFields, &aNames, &bNames)) {
        header[0].fields = &aNames;
        header[1].fields = &bNames;
    }
    bool anyHeader = a.list.hasHeader || b.list.hasHeader;
    writer->start(a.list.bom, anyHeader ? &header : nullptr, a.list.hasHeader ? a.list.headerEnd : b.list.headerEnd);

    const std::vector<std::string> names = comparisonNames(settings.with);
    std::vector<std::pair<uint32_t, uint32_t>> written;
    OutRecord outA, outB;
    Value values[5];
    Row row;
    row.recordCount = 2;
    row.records[0] = &outA;
    row.absentWidth[1] = b.list.width;
    row.values = values;
    uint64_t aMatched = 0;
    size_t next = 0;
    for (uint32_t r = 0; r < split && !out.failed(); ++r) {
        const NameRecord& ra = a.list.records[r];
        outA = outRecord(a.list, ra);
        values[0] = Value::of(static_cast<int64_t>(ra.line));
        if (next == matched.size() || matched[next].x != r) {
            if (!options.all) continue;
            row.records[1] = nullptr;
            for (int v = 1; v < 5; ++v) values[v] = Value();
            writer->row(row);
            continue;
        }
        ++aMatched;
        for (; next < matched.size() && matched[next].x == r; ++next) {
            const Candidate& c = matched[next];
            const NameRecord& rb = b.list.records[c.y - split];
            outB = outRecord(b.list, rb);
            row.records[1] = &outB;
            double weight = pairWeight(model, c);
            std::string score = decimals(pairScore(model, onePartner, c), 3), weightText = decimals(weight, 1);
            std::string explanation = options.explain ? explainPair(model, c, names) : std::string();
            values[1] = Value::of(static_cast<int64_t>(rb.line));
            values[2] = Value::of(score);
            values[3] = Value::of(weightText);
            values[4] = Value::of(explanation);
            writer->row(row);
            written.push_back({r, c.y - split});
        }
    }
    if (!out.flush()) return context.lostOutput(out);
    context.message("A: " + counted(split, "record", "records") + ", " + std::to_string(aMatched) + " matched; B: " +
                    counted(b.list.records.size(), "record", "records") + "; " +
                    counted(candidates, "candidate pair", "candidate pairs") + ", " +
                    counted(written.size(), "pair", "pairs") + " written");
    hintAtCodes(context, settings, candidates, written.size());
    if (options.explain) {
        std::string text = weightsText(model, names);
        if (onePartner) text += "; share of A with a partner " + decimals(partners.share, 3);
        context.message(text);
    }
    if (!options.truth.empty()) context.message(pairCountsText(countLinkPairs(truthOfA, truthOfB, written)));
    return warnings.count() > 0 ? EXIT_FAULTS : EXIT_DONE;
}
