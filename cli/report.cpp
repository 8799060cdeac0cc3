#include "report.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>

#include "../records/encoding.h"
#include "../records/system.h"

namespace {

const char kStyle[] =
    "body{font:14px/1.4 sans-serif;margin:24px auto;max-width:1100px;color:#222}"
    "h1{font-size:22px}h2{font-size:17px;margin-top:28px;border-bottom:1px solid #ccc}"
    "table{border-collapse:collapse}td,th{padding:2px 8px;text-align:left;vertical-align:top}"
    "th{background:#f2f2f2}.num{text-align:right;font-variant-numeric:tabular-nums}"
    ".rec{font-family:monospace;white-space:pre-wrap}.pair{padding:6px;border:1px solid #ddd}"
    ".pairs{display:grid;grid-template-columns:1fr 1fr;gap:8px}"
    "svg text{font:11px sans-serif}.note{color:#555}";

std::string number(double value, int places) {
    char text[48];
    std::snprintf(text, sizeof text, "%.*f", places, value);
    return text;
}

std::string count(uint64_t n) { return std::to_string(n); }

// A record's text for the page, in UTF-8.
std::string recordText(const ReportRun& run, const NameList& list, uint32_t record) {
    const NameRecord& r = list.records[record];
    std::string text(list.recordText(r), r.size);
    if (!run.cp1252) return text;
    std::string utf8(text.size() * 3, '\0');
    utf8.resize(cp1252ToUtf8(text.data(), text.size(), &utf8[0]));
    return utf8;
}

// The list and the record of a pair's side.
std::string sideText(const ReportRun& run, uint32_t record, int side) {
    if (side == 1 && run.b) return "B line " + count(run.b->records[record - run.split].line) + ": " +
                                   htmlEscaped(recordText(run, *run.b, record - run.split));
    const char* which = run.b ? "A line " : "line ";
    return which + count(run.a->records[record].line) + ": " + htmlEscaped(recordText(run, *run.a, record));
}

// The histogram of the candidates' weights, the threshold's weight drawn
// where a pair alone reaches it.
std::string weightHistogram(const ReportRun& run) {
    const RunPicture& p = *run.picture;
    uint64_t above = 0;
    for (bool m : p.matched) above += m;
    const uint64_t below = p.weights.size() - above;
    std::string out = "<h2>Match weights of the candidate pairs</h2>\n<p id=\"weight-counts\" data-above=\"" +
                      count(above) + "\" data-below=\"" + count(below) + "\">" + count(p.weights.size()) +
                      " candidate pairs compared: <strong>" + count(above) + "</strong> reach the threshold (" +
                      number(run.threshold, 2) + "), " + count(below) + " do not.</p>\n";
    if (p.weights.empty()) return out + "<p>No candidate pairs.</p>\n";
    const double lo = std::floor(*std::min_element(p.weights.begin(), p.weights.end()));
    const double hi = std::ceil(*std::max_element(p.weights.begin(), p.weights.end())) + 1;
    const int bins = static_cast<int>(std::min(60.0, std::max(1.0, (hi - lo) * 2)));
    const double width = (hi - lo) / bins;
    std::vector<uint64_t> reach(bins, 0), fall(bins, 0);
    for (size_t i = 0; i < p.weights.size(); ++i) {
        int b = std::min(bins - 1, static_cast<int>((p.weights[i] - lo) / width));
        (p.matched[i] ? reach : fall)[b]++;
    }
    uint64_t most = 1;
    for (int b = 0; b < bins; ++b) most = std::max(most, reach[b] + fall[b]);
    const double W = 900, H = 220, left = 50, bottom = 30, barW = (W - left - 10) / bins;
    std::string svg = "<svg id=\"weights\" role=\"img\" width=\"" + number(W, 0) + "\" height=\"" +
                      number(H + bottom, 0) + "\" viewBox=\"0 0 " + number(W, 0) + " " + number(H + bottom, 0) +
                      "\"><title>Candidate pairs by match weight</title>\n";
    // A log scale: the few pairs of one person stand beside millions.
    auto height = [&](uint64_t n) { return n ? (H - 10) * std::log1p(n) / std::log1p(most) : 0.0; };
    for (int b = 0; b < bins; ++b) {
        const double x = left + b * barW;
        // The bar's height, the reaching pairs' share of it in green.
        const uint64_t all = reach[b] + fall[b];
        const double hf = height(all), hr = all ? hf * static_cast<double>(reach[b]) / all : 0;
        svg += "<rect class=\"bar\" x=\"" + number(x, 1) + "\" y=\"" + number(H - hf, 1) + "\" width=\"" +
               number(barW - 1, 1) + "\" height=\"" + number(hf - hr, 1) + "\" fill=\"#b8c4d6\"><title>" +
               number(lo + b * width, 1) + " to " + number(lo + (b + 1) * width, 1) + ": " + count(fall[b]) +
               " below, " + count(reach[b]) + " reaching</title></rect>";
        if (hr > 0)
            svg += "<rect x=\"" + number(x, 1) + "\" y=\"" + number(H - hr, 1) + "\" width=\"" + number(barW - 1, 1) +
                   "\" height=\"" + number(hr, 1) + "\" fill=\"#2f7d32\"/>";
    }
    // Ticks at whole weights, about ten of them.
    const int step = std::max(1, static_cast<int>(std::lround((hi - lo) / 10)));
    for (int w = static_cast<int>(lo); w <= hi; w += step)
        svg += "<text x=\"" + number(left + (w - lo) / width * barW - 4, 1) + "\" y=\"" + number(H + 16, 0) + "\">" +
               std::to_string(w) + "</text>";
    const double t = weightToReach(run.match->model, run.threshold);
    if (std::isfinite(t) && t > lo && t < hi) {
        const double x = left + (t - lo) / width * barW;
        svg += "<line id=\"threshold\" x1=\"" + number(x, 1) + "\" x2=\"" + number(x, 1) + "\" y1=\"0\" y2=\"" +
               number(H, 0) + "\" stroke=\"#c62828\" stroke-width=\"2\"/><text x=\"" + number(x + 4, 1) +
               "\" y=\"12\" fill=\"#c62828\">threshold " + number(t, 1) + "</text>";
    }
    svg += "<text x=\"0\" y=\"12\">pairs (log)</text></svg>\n";
    return out + svg +
           "<p class=\"note\">Green: pairs whose score reaches the threshold; blue-grey: the others. The red line is "
           "the weight at which a pair on its own reaches the threshold" +
           (run.match->partners.ratioSums.empty() ? std::string(".")
                                                  : "; with --best and --one-to-one a pair's score is among its "
                                                    "record's rivals, so the colours, not the line, decide.") +
           "</p>\n";
}

// Each comparison's levels: m, u and weight as bars, and the candidates at
// each level.
std::string fieldLevels(const ReportRun& run) {
    const FsModel& model = run.match->model;
    const RunPicture& p = *run.picture;
    std::string out = "<h2>What each level weighs</h2>\n<table id=\"fields\"><tr><th>comparison</th><th>level</th>"
                      "<th>m</th><th>u</th><th>weight</th><th></th><th class=\"num\">candidates</th></tr>\n";
    double most = 1;
    for (int c = 0; c < model.comparisons; ++c)
        for (int l = 0; l < kLevels; ++l) most = std::max(most, std::fabs(model.weight(c, static_cast<Level>(l))));
    for (int c = 0; c < model.comparisons; ++c)
        for (int l = kLevels; l >= 0; --l) {
            const Level level = static_cast<Level>(l);
            const bool missing = level == MISSING;
            if (!missing && !model.hasLevel(c, level)) continue;  // not a level of this comparison's kind
            const double w = missing ? 0 : model.weight(c, level);
            const double bar = 60 * std::fabs(w) / most;
            std::string svg = "<svg width=\"130\" height=\"14\"><line x1=\"65\" x2=\"65\" y1=\"0\" y2=\"14\" "
                              "stroke=\"#999\"/><rect x=\"" + number(w < 0 ? 65 - bar : 65, 1) + "\" y=\"2\" width=\"" +
                              number(bar, 1) + "\" height=\"10\" fill=\"" + (w < 0 ? "#c62828" : "#2f7d32") +
                              "\"/></svg>";
            auto share = [](double v) {
                return "<svg width=\"60\" height=\"14\"><rect x=\"0\" y=\"2\" width=\"" + number(60 * v, 1) +
                       "\" height=\"10\" fill=\"#5c6bc0\"/></svg> " + number(v, 3);
            };
            out += "<tr><td>" + (l == kLevels ? htmlEscaped(run.names[c]) : std::string()) + "</td><td>" +
                   levelName(level) + "</td><td>" + (missing ? std::string() : share(model.m[c][l])) + "</td><td>" +
                   (missing ? std::string() : share(model.u[c][l])) + "</td><td class=\"num\">" +
                   (missing ? std::string("0") : number(w, 1)) + "</td><td>" + svg + "</td><td class=\"num\">" +
                   count(p.levelCounts[c][l]) + "</td></tr>\n";
        }
    return out + "</table>\n<p class=\"note\">Exact and close names weigh by how many records hold the word or its "
                 "code, exact values by how many hold the value (see --explain); the weights above are the levels' "
                 "own, log2(m/u).</p>\n";
}

// A pair's waterfall: each comparison's weight from where the ones before
// left it, then the total.
std::string waterfall(const ReportRun& run, const PicturedPair& p) {
    const FsModel& model = run.match->model;
    std::vector<double> parts;
    for (int c = 0; c < model.comparisons; ++c) {
        const Level l = levelAt(p.pair.pattern, c);
        parts.push_back(c < kNameComparisons ? model.nameWeight(c, l, p.pair.holders[c]) : model.weight(c, l));
    }
    double lo = 0, hi = 0, at = 0;
    for (double w : parts) at += w, lo = std::min(lo, at), hi = std::max(hi, at);
    const double scale = 300 / std::max(1.0, hi - lo), zero = 110 + (-lo) * scale;
    std::string svg = "<svg class=\"waterfall\" width=\"440\" height=\"" + count(18 * (parts.size() + 1) + 4) + "\">";
    at = 0;
    for (size_t c = 0; c <= parts.size(); ++c) {
        const bool total = c == parts.size();
        const double from = total ? 0 : at, to = total ? at : at + parts[c];
        const double x = zero + std::min(from, to) * scale, w = std::max(1.0, std::fabs(to - from) * scale);
        const double y = 4 + 18 * c;
        const std::string label = total ? "total" : run.names[c] + " " + levelName(levelAt(p.pair.pattern, static_cast<int>(c)));
        svg += "<text x=\"0\" y=\"" + number(y + 11, 0) + "\">" + htmlEscaped(label) + "</text><rect x=\"" +
               number(x, 1) + "\" y=\"" + number(y, 0) + "\" width=\"" + number(w, 1) + "\" height=\"13\" fill=\"" +
               (total ? "#455a64" : to < from ? "#c62828" : "#2f7d32") + "\"/><text x=\"" +
               number(zero + std::max(from, to) * scale + 4, 1) + "\" y=\"" + number(y + 11, 0) + "\">" +
               number(to - from, 1) + "</text>";
        if (!total) at += parts[c];
    }
    return svg + "<line x1=\"" + number(zero, 1) + "\" x2=\"" + number(zero, 1) + "\" y1=\"0\" y2=\"" +
           count(18 * (parts.size() + 1) + 4) + "\" stroke=\"#999\"/></svg>";
}

std::string nearPairs(const ReportRun& run) {
    const RunPicture& p = *run.picture;
    std::string out = "<h2>The pairs nearest the threshold</h2>\n<div id=\"near\">\n";
    for (int side = 0; side < 2; ++side) {
        const std::vector<PicturedPair>& pairs = side ? p.below : p.above;
        out += std::string("<h3>") + (side ? "Just below: not matched" : "Just above: matched") + " (" +
               count(pairs.size()) + ")</h3>\n<div class=\"pairs\">\n";
        for (const PicturedPair& q : pairs)
            out += "<div class=\"pair\" data-side=\"" + std::string(side ? "below" : "above") + "\"><div>score " +
                   number(q.score, 3) + ", weight " + number(q.weight, 1) + (q.pair.crosswise ? ", crosswise" : "") +
                   "</div><div class=\"rec\">" + sideText(run, q.pair.x, 0) + "\n" + sideText(run, q.pair.y, 1) +
                   "</div>" + waterfall(run, q) + "</div>\n";
        out += "</div>\n";
    }
    return out + "</div>\n";
}

std::string groupSizes(const ReportRun& run) {
    const PeopleGroups& g = *run.groups;
    std::vector<uint64_t> bySize;
    std::vector<uint32_t> order;
    for (uint32_t k = 1; k <= g.count; ++k) {
        const size_t n = static_cast<size_t>(g.end(k) - g.begin(k));
        if (bySize.size() <= n) bySize.resize(n + 1, 0);
        ++bySize[n];
        order.push_back(k);
    }
    std::string out = "<h2>Groups</h2>\n<p id=\"group-counts\" data-groups=\"" + count(g.count) + "\" data-grouped=\"" +
                      count(g.grouped()) + "\">" + count(g.grouped()) + " records in " + count(g.count) +
                      " groups.</p>\n";
    if (g.count == 0) return out;
    uint64_t most = 1;
    for (uint64_t n : bySize) most = std::max(most, n);
    std::string svg = "<svg id=\"group-sizes\" width=\"600\" height=\"" + count(20 * (bySize.size() - 2) + 10) + "\">";
    for (size_t n = 2, row = 0; n < bySize.size(); ++n, ++row)
        svg += "<text x=\"0\" y=\"" + count(20 * row + 14) + "\">" + count(n) + " records</text><rect x=\"80\" y=\"" +
               count(20 * row + 3) + "\" width=\"" + number(std::max(1.0, 440.0 * bySize[n] / most), 1) +
               "\" height=\"14\" fill=\"#5c6bc0\"/><text x=\"" + number(86 + 440.0 * bySize[n] / most, 1) +
               "\" y=\"" + count(20 * row + 14) + "\">" + count(bySize[n]) + "</text>";
    out += svg + "</svg>\n<h3>The largest groups</h3>\n<table id=\"largest\">";
    std::stable_sort(order.begin(), order.end(),
                     [&](uint32_t x, uint32_t y) { return g.end(x) - g.begin(x) > g.end(y) - g.begin(y); });
    for (size_t i = 0; i < std::min<size_t>(5, order.size()); ++i) {
        const uint32_t k = order[i];
        out += "<tr><th>group " + count(k) + "</th><td class=\"rec\">";
        for (const uint32_t* r = g.begin(k); r != g.end(k); ++r) out += sideText(run, *r, 0) + "\n";
        out += "</td></tr>\n";
    }
    return out + "</table>\n";
}

// Precision, recall and F1 of the candidate pairs whose score reaches t,
// for t from 0 to 1, and the run's own point.
std::string truthCurve(const ReportRun& run) {
    const RunPicture& p = *run.picture;
    const double W = 600, H = 240, left = 40;
    std::string svg = "<svg id=\"truth-curve\" width=\"" + number(W, 0) + "\" height=\"" + number(H + 30, 0) + "\">";
    const char* colours[3] = {"#1565c0", "#ef6c00", "#2e7d32"};
    const char* labels[3] = {"precision", "recall", "F1"};
    std::string lines[3];
    // Each candidate counted once, at the highest step its score reaches;
    // a threshold's pairs are then those of its step and the ones above.
    const int kSteps = 100;
    std::vector<uint64_t> found(kSteps + 2, 0), correct(kSteps + 2, 0);
    for (size_t i = 0; i < p.scores.size(); ++i) {
        int step = std::min(kSteps, std::max(0, static_cast<int>(p.scores[i] * kSteps)));
        while (step < kSteps && (step + 1) / static_cast<double>(kSteps) <= p.scores[i]) ++step;
        while (step > 0 && step / static_cast<double>(kSteps) > p.scores[i]) --step;
        if (step / static_cast<double>(kSteps) > p.scores[i]) continue;  // below every threshold
        ++found[step];
        correct[step] += run.candidateTrue[i];
    }
    for (int step = kSteps; step >= 0; --step) {
        found[step] += found[step + 1];
        correct[step] += correct[step + 1];
    }
    for (int step = 0; step <= kSteps; ++step) {
        const double t = step / static_cast<double>(kSteps);
        PairCounts c;
        c.truth = run.truePairs;
        c.found = found[step];
        c.correct = correct[step];
        const double v[3] = {c.precision(), c.recall(), c.f1()};
        for (int k = 0; k < 3; ++k)
            lines[k] += number(left + t * (W - left - 10), 1) + "," + number(H - v[k] * (H - 10), 1) + " ";
    }
    for (int k = 0; k < 3; ++k)
        svg += "<polyline fill=\"none\" stroke=\"" + std::string(colours[k]) + "\" stroke-width=\"2\" points=\"" +
               lines[k] + "\"/><text x=\"" + number(W - 80, 0) + "\" y=\"" + count(16 + 14 * k) + "\" fill=\"" +
               colours[k] + "\">" + labels[k] + "</text>";
    const double x = left + run.threshold * (W - left - 10);
    svg += "<line x1=\"" + number(x, 1) + "\" x2=\"" + number(x, 1) + "\" y1=\"0\" y2=\"" + number(H, 0) +
           "\" stroke=\"#c62828\" stroke-dasharray=\"4 3\"/><circle id=\"chosen\" cx=\"" + number(x, 1) + "\" cy=\"" +
           number(H - run.chosen.f1() * (H - 10), 1) + "\" r=\"5\" fill=\"#c62828\"/>";
    for (int k = 0; k <= 10; k += 2)
        svg += "<text x=\"" + number(left + k / 10.0 * (W - left - 10) - 8, 1) + "\" y=\"" + number(H + 16, 0) + "\">" +
               number(k / 10.0, 1) + "</text>";
    return "<h2>Against the truth</h2>\n" + svg +
           "</svg>\n<p id=\"chosen-counts\">At the threshold " + number(run.threshold, 2) + " the run found " +
           count(run.chosen.found) + " pairs, " + count(run.chosen.correct) + " true, of " + count(run.chosen.truth) +
           " true pairs: precision " + number(run.chosen.precision(), 4) + ", recall " +
           number(run.chosen.recall(), 4) + ", F1 " + number(run.chosen.f1(), 4) +
           ".</p>\n<p class=\"note\">The curves count the candidate pairs whose score reaches each threshold; the "
           "dot is the run's own result" +
           (run.command == "group" ? std::string(", counted over its groups") : std::string()) + ".</p>\n";
}

}  // namespace

std::string htmlEscaped(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string reportPage(const ReportRun& run) {
    std::string page = "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>ovrin " + run.command +
                       " report</title><style>" + kStyle + "</style></head><body>\n<h1>ovrin " + run.command +
                       ": a report of the run</h1>\n<p class=\"rec\" id=\"command-line\">" +
                       htmlEscaped(run.commandLine) + "</p>\n<table id=\"summary\">" +
                       "<tr><th>summary</th><td id=\"summary-line\">" + htmlEscaped(run.summary) + "</td></tr>" +
                       "<tr><th>candidate pairs</th><td id=\"candidates\">" + count(run.match->candidates) +
                       "</td></tr><tr><th>" + (run.b ? "pairs written" : "matched pairs") +
                       "</th><td id=\"matched\">" + count(run.match->matched.size()) +
                       "</td></tr><tr><th>warnings</th><td id=\"warnings\">" + count(run.warnings) +
                       "</td></tr><tr><th>time</th><td>" + number(run.seconds, 2) + " s</td></tr></table>\n";
    page += weightHistogram(run) + fieldLevels(run) + nearPairs(run);
    if (run.groups) page += groupSizes(run);
    if (run.truth) page += truthCurve(run);
    return page + "</body></html>\n";
}

int writeReportFile(const CommandContext& context, const ReportRun& run) {
    const std::string page = reportPage(run);
    const std::string& path = context.options.report;
    FILE* file = openForWriting(path);
    bool written = file && std::fwrite(page.data(), 1, page.size(), file) == page.size();
    const int error = errno;
    if (file && std::fclose(file) != 0) written = false;
    if (!written)
        return context.usage("cannot write the report " + path + ": " + std::strerror(error ? error : EIO));
    return EXIT_DONE;
}

std::vector<bool> candidatesTrue(const RunPicture& picture, const std::vector<uint32_t>& truthOf,
                                 const std::vector<uint32_t>* truthOfB, uint32_t split) {
    std::vector<bool> same;
    same.reserve(picture.records.size());
    for (const auto& pair : picture.records) {
        const uint32_t a = truthOf[pair.first];
        const uint32_t b = truthOfB ? (*truthOfB)[pair.second - split] : truthOf[pair.second];
        same.push_back(a != kNoTruth && a == b);
    }
    return same;
}

void setTruth(ReportRun* run, std::vector<bool> candidateTrue, const PairCounts& chosen) {
    run->truth = true;
    run->candidateTrue = std::move(candidateTrue);
    run->truePairs = chosen.truth;
    run->chosen = chosen;
}
