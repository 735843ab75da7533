// Writes the demo curve files of one printing model: one .zorl file per tone,
// 256 ink amounts per channel in the channel order of the model's ink set.
//
//   democurve (--ppd FILE | --inks LIST) [--model NAME] --out-dir DIR TONE...
//
// Level 0 is paper white and level 255 the deepest black; amounts run from
// 0 to 65535. The grey inks carry the tone in overlapping ramps, lightest ink
// first; the colour inks only add small toning humps.

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr int Levels = 256;
constexpr int MaxChannels = 8;
constexpr double Pi = 3.14159265358979323846;
// A full-strength cyan or magenta gives the tint of its light version with
// about this share of the amount.
constexpr double FullInkShare = 0.6;

const std::set<std::string> KnownInks = {"K",  "C",  "M",  "Y",  "LC",  "LM", "LK",
                                         "R",  "B",  "G",  "PK", "GL", "LLK", "MK"};

bool isInkTokenChar(char c)
{
    return c == '%' || c == '*' || c == '.' || c == '_' || std::isalnum(static_cast<unsigned char>(c));
}

// Splits a line the way the ink-set reader does: runs of token characters,
// upper-cased, separated by blanks, commas or equals signs.
std::vector<std::string> inkTokens(const std::string &line)
{
    std::vector<std::string> tokens;
    std::size_t i = 0;
    while (i < line.size()) {
        std::string token;
        while (i < line.size() && isInkTokenChar(line[i]))
            token += static_cast<char>(std::toupper(static_cast<unsigned char>(line[i++])));
        if (token.empty())
            break;
        tokens.push_back(token);
        while (i < line.size() && (line[i] == ' ' || line[i] == ',' || line[i] == '='))
            ++i;
    }
    return tokens;
}

std::vector<std::string> expandInkSet(const std::vector<std::string> &words)
{
    static const std::map<std::string, std::vector<std::string>> named = {
        {"CMYK", {"K", "C", "M", "Y"}},
        {"PHOTOCMYK", {"K", "C", "M", "Y", "LC", "LM"}},
        {"PHOTOCMYK7", {"K", "C", "M", "Y", "LC", "LM", "LK"}},
        {"PHOTOCMYK8", {"MK", "C", "M", "Y", "R", "B", "PK", "GL"}},
    };
    if (words.empty())
        return {};
    if (auto it = named.find(words.front()); it != named.end())
        return it->second;
    return words;
}

std::optional<std::vector<std::string>> inksFromPpd(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string line;
    while (std::getline(in, line)) {
        auto tokens = inkTokens(line);
        if (!tokens.empty() && tokens.front() == "*%INKS")
            return expandInkSet(std::vector<std::string>(tokens.begin() + 1, tokens.end()));
    }
    return std::nullopt;
}

struct Tone {
    double blackPeak;   // darkest grey ink at level 255
    double lightPeak;   // peak of each lighter grey ink
    double cyan, magenta, yellow, red, blue;  // toning amplitudes
    double centre;      // where the toning is strongest (0..1 of the scale)
    bool matte;         // matte black instead of photo black, no gloss
};

const std::map<std::string, Tone> Tones = {
    {"Neutral", {0.80, 0.50, 0.012, 0.008, 0.006, 0.000, 0.000, 0.50, false}},
    {"Warm", {0.80, 0.50, 0.000, 0.020, 0.040, 0.012, 0.000, 0.55, false}},
    {"Cool", {0.80, 0.50, 0.040, 0.010, 0.000, 0.000, 0.015, 0.50, false}},
    {"Selenium", {0.86, 0.50, 0.012, 0.030, 0.008, 0.006, 0.004, 0.72, false}},
    {"MatteNeutral", {0.84, 0.50, 0.012, 0.008, 0.006, 0.000, 0.000, 0.50, true}},
};

double smoothStep(double e0, double e1, double x)
{
    const double u = std::clamp((x - e0) / (e1 - e0), 0.0, 1.0);
    return u * u * (3.0 - 2.0 * u);
}

// A bump that is zero at both ends of the scale and peaks at t = centre.
double hump(double t, double centre)
{
    if (t <= 0.0 || t >= 1.0)
        return 0.0;
    const double a = std::log(0.5) / std::log(centre);
    return std::sin(Pi * std::pow(t, a));
}

using Channel = std::vector<double>;

class CurveBuilder
{
public:
    CurveBuilder(const std::vector<std::string> &inks, const Tone &tone)
        : m_inks(inks), m_tone(tone), m_values(inks.size(), Channel(Levels, 0.0))
    {
    }

    std::vector<Channel> build()
    {
        buildGreys();
        buildToning();
        buildGloss();
        return m_values;
    }

private:
    int slot(const std::string &ink) const
    {
        auto it = std::find(m_inks.begin(), m_inks.end(), ink);
        return it == m_inks.end() ? -1 : int(it - m_inks.begin());
    }

    void add(int s, int level, double amount)
    {
        if (s >= 0)
            m_values[std::size_t(s)][std::size_t(level)] += amount;
    }

    // The black that prints: photo black for glossy tones, matte black for
    // matte ones, whichever the model has when it has only one.
    int blackSlot() const
    {
        const int k = slot("K");
        if (k >= 0)
            return k;
        const int pk = slot("PK"), mk = slot("MK");
        if (pk >= 0 && mk >= 0)
            return m_tone.matte ? mk : pk;
        return pk >= 0 ? pk : mk;
    }

    void buildGreys()
    {
        std::vector<int> greys;  // lightest first
        for (const char *ink : {"LLK", "LK"})
            if (slot(ink) >= 0)
                greys.push_back(slot(ink));
        if (blackSlot() >= 0)
            greys.push_back(blackSlot());
        m_greyCount = int(greys.size());
        const int n = m_greyCount;
        for (int j = 0; j < n; ++j) {
            const bool darkest = j == n - 1;
            const double peakAt = double(j + 1) / n;
            const double start = j == 0 ? 0.0 : std::max(0.0, peakAt - 1.35 / n);
            const double peak = darkest ? m_tone.blackPeak : m_tone.lightPeak;
            const double floor = 0.2 * peak;  // light inks stay in the shadows a little
            for (int level = 0; level < Levels; ++level) {
                const double t = double(level) / (Levels - 1);
                double v = 0.0;
                if (t <= peakAt) {
                    const double u = std::clamp((t - start) / (peakAt - start), 0.0, 1.0);
                    if (n == 1)
                        v = std::pow(u, 1.3);
                    else if (j == 0)
                        v = std::sin(Pi / 2.0 * u);
                    else
                        v = 0.5 - 0.5 * std::cos(Pi * u);
                    v *= peak;
                } else {
                    const double u = (t - peakAt) / (1.0 - peakAt);
                    v = floor + (peak - floor) * (0.5 + 0.5 * std::cos(Pi * u));
                }
                m_values[std::size_t(greys[std::size_t(j)])][std::size_t(level)] = v;
            }
        }
    }

    // Toning inks: the light version of a colour carries the hump, the full
    // strength one reinforces the shadows; without a light version the full
    // one carries a reduced hump. With a single grey ink the colours also
    // build a composite grey in the highlights.
    void toneWith(int lightSlot, int fullSlot, double amplitude, double support, double fullShare)
    {
        for (int level = 0; level < Levels; ++level) {
            const double t = double(level) / (Levels - 1);
            const double main = amplitude * hump(t, m_tone.centre) + support * hump(t, 0.3);
            if (lightSlot >= 0) {
                add(lightSlot, level, main);
                add(fullSlot, level, 0.3 * amplitude * hump(t, 0.85));
            } else {
                add(fullSlot, level, fullShare * main);
            }
        }
    }

    void buildToning()
    {
        const double support = m_greyCount <= 1 ? 0.08 : 0.0;
        toneWith(slot("LC"), slot("C"), m_tone.cyan, support, FullInkShare);
        toneWith(slot("LM"), slot("M"), m_tone.magenta, support, FullInkShare);
        toneWith(-1, slot("Y"), m_tone.yellow, support, 1.0);
        for (int level = 0; level < Levels; ++level) {
            const double t = double(level) / (Levels - 1);
            add(slot("R"), level, m_tone.red * hump(t, m_tone.centre));
            add(slot("B"), level, m_tone.blue * hump(t, m_tone.centre));
        }
    }

    // Gloss optimizer where little ink lies, so that highlights shine like
    // the shadows; pointless on matte paper.
    void buildGloss()
    {
        if (m_tone.matte)
            return;
        for (int level = 0; level < Levels; ++level) {
            const double t = double(level) / (Levels - 1);
            add(slot("GL"), level, 0.18 * (1.0 - smoothStep(0.0, 0.75, t)));
        }
    }

    std::vector<std::string> m_inks;
    Tone m_tone;
    std::vector<Channel> m_values;
    int m_greyCount = 0;
};

std::string joinInks(const std::vector<std::string> &inks)
{
    std::string out;
    for (const auto &ink : inks)
        out += (out.empty() ? "" : ",") + ink;
    return out;
}

bool writeCurve(const std::filesystem::path &path, const std::string &model, const std::string &toneName,
                const std::vector<std::string> &inks, const std::vector<Channel> &values)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    out << "# ZORLANE " << joinInks(inks) << "\n";
    out << "# " << toneName << " curve for " << model << ", made by the demo curve generator.\n";
    out << "# Levels 0 (paper white) to 255 (deepest black); ink amounts 0 to 65535.\n";
    for (std::size_t c = 0; c < inks.size(); ++c) {
        out << "# " << inks[c] << "\n";
        for (double v : values[c])
            out << std::lround(std::clamp(v, 0.0, 1.0) * 65535.0) << "\n";
    }
    return bool(out.flush());
}

int usage()
{
    std::cerr << "usage: democurve (--ppd FILE | --inks LIST) [--model NAME] --out-dir DIR TONE...\n";
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    std::optional<std::vector<std::string>> inks;
    std::string model, outDir, ppd;
    std::vector<std::string> tones;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= argc)
                return std::nullopt;
            return std::string(argv[++i]);
        };
        if (arg == "--ppd" || arg == "--inks" || arg == "--model" || arg == "--out-dir") {
            auto v = value();
            if (!v)
                return usage();
            if (arg == "--ppd")
                ppd = *v;
            else if (arg == "--inks")
                inks = expandInkSet(inkTokens(*v));
            else if (arg == "--model")
                model = *v;
            else
                outDir = *v;
        } else if (!arg.empty() && arg[0] == '-') {
            return usage();
        } else {
            tones.push_back(arg);
        }
    }
    if (outDir.empty() || tones.empty() || (ppd.empty() == !inks.has_value()))
        return usage();

    if (!ppd.empty()) {
        inks = inksFromPpd(ppd);
        if (!inks) {
            std::cerr << "ERROR: no *%INKS line in " << ppd << "\n";
            return 1;
        }
        if (model.empty())
            model = std::filesystem::path(ppd).stem().string();
    }
    if (inks->empty() || inks->size() > MaxChannels) {
        std::cerr << "ERROR: a model needs 1 to " << MaxChannels << " inks\n";
        return 1;
    }
    for (const auto &ink : *inks) {
        if (!KnownInks.count(ink)) {
            std::cerr << "ERROR: unknown ink " << ink << "\n";
            return 1;
        }
    }

    std::error_code ec;
    std::filesystem::create_directories(outDir, ec);
    for (const auto &toneName : tones) {
        auto tone = Tones.find(toneName);
        if (tone == Tones.end()) {
            std::cerr << "ERROR: unknown tone " << toneName << "\n";
            return 1;
        }
        CurveBuilder builder(*inks, tone->second);
        const auto path = std::filesystem::path(outDir) / (toneName + ".zorl");
        if (!writeCurve(path, model, toneName, *inks, builder.build())) {
            std::cerr << "ERROR: cannot write " << path.string() << "\n";
            return 1;
        }
    }
    return 0;
}
