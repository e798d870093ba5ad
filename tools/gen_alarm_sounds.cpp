// Synthesises Quillo's own alarm sounds: short 16-bit PCM mono WAV files, each a tune of its
// own. Run by the build; what it writes is what the program installs into \Windows.
//   gen_alarm_sounds --wav DIR    writes DIR/<name>.wav for each sound
//   gen_alarm_sounds --cpp FILE   writes the same bytes as a C++ table for the program
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 22050;
constexpr double kPi = 3.14159265358979323846;

struct Partial {
    double ratio;      // of the note's frequency
    double amplitude;  // relative
    double decay;      // per second, exponential
};

struct Note {
    double start;  // seconds
    double frequency;
    double length;  // seconds
    std::vector<Partial> partials;
};

struct Sound {
    const char* name;
    double length;  // seconds
    std::vector<Note> notes;
};

// A struck bell: inharmonic partials ringing out; struck twice.
Sound Bell() {
    const std::vector<Partial> bell = {
        {1.0, 1.0, 3.0}, {2.76, 0.45, 5.0}, {5.40, 0.25, 8.0}, {8.93, 0.12, 12.0}};
    return {"Bell", 1.6, {{0.0, 880.0, 0.8, bell}, {0.8, 880.0, 0.8, bell}}};
}

// Three falling notes, soft and round: E6, C6, G5.
Sound Chime() {
    const std::vector<Partial> chime = {{1.0, 1.0, 4.0}, {2.0, 0.3, 6.0}, {3.0, 0.1, 9.0}};
    return {"Chime",
            1.5,
            {{0.0, 1318.5, 0.45, chime}, {0.45, 1046.5, 0.45, chime}, {0.9, 784.0, 0.6, chime}}};
}

// Two pairs of short, steady beeps.
Sound Beeps() {
    const std::vector<Partial> beep = {{1.0, 1.0, 0.0}, {3.0, 0.2, 0.0}};
    std::vector<Note> notes;
    for (const double start : {0.0, 0.16, 0.6, 0.76}) notes.push_back({start, 2093.0, 0.09, beep});
    return {"Beeps", 1.0, notes};
}

std::vector<int16_t> Render(const Sound& sound) {
    const auto count = static_cast<size_t>(sound.length * kRate);
    std::vector<double> mix(count, 0.0);
    for (const Note& note : sound.notes) {
        const auto first = static_cast<size_t>(note.start * kRate);
        const auto length = static_cast<size_t>(note.length * kRate);
        for (size_t i = 0; i < length && first + i < count; ++i) {
            const double t = static_cast<double>(i) / kRate;
            // 5 ms fades at both ends keep the notes free of clicks.
            const double fade =
                std::min({1.0, t / 0.005, (note.length - t) / 0.005});
            double value = 0.0;
            for (const Partial& p : note.partials) {
                value += p.amplitude * std::exp(-p.decay * t) *
                         std::sin(2.0 * kPi * note.frequency * p.ratio * t);
            }
            mix[first + i] += value * fade;
        }
    }
    double peak = 0.0;
    for (const double value : mix) peak = std::max(peak, std::fabs(value));
    std::vector<int16_t> samples(count);
    for (size_t i = 0; i < count; ++i) {
        samples[i] = static_cast<int16_t>(std::lround(mix[i] / peak * 0.8 * 32767.0));
    }
    return samples;
}

void Put32(std::string& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>(value >> (8 * i) & 0xFF);
}

void Put16(std::string& out, uint16_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
}

std::string WaveFile(const std::vector<int16_t>& samples) {
    const auto dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::string out = "RIFF";
    Put32(out, 36 + dataBytes);
    out += "WAVEfmt ";
    Put32(out, 16);
    Put16(out, 1);  // PCM
    Put16(out, 1);  // mono
    Put32(out, kRate);
    Put32(out, kRate * 2);
    Put16(out, 2);
    Put16(out, 16);
    out += "data";
    Put32(out, dataBytes);
    for (const int16_t sample : samples) Put16(out, static_cast<uint16_t>(sample));
    return out;
}

bool WriteFile(const std::string& path, const std::string& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

std::string CppTable(const std::vector<Sound>& sounds) {
    std::string out =
        "// Made by tools/gen_alarm_sounds.cpp while building; do not edit.\n"
        "#include \"res/AlarmSoundData.h\"\n\nnamespace {\n";
    for (const Sound& sound : sounds) {
        const std::string bytes = WaveFile(Render(sound));
        out += "const unsigned char k" + std::string(sound.name) + "[] = {";
        for (size_t i = 0; i < bytes.size(); ++i) {
            if (i % 24 == 0) out += "\n";
            out += std::to_string(static_cast<unsigned char>(bytes[i])) + ",";
        }
        out += "\n};\n";
    }
    out += "}  // namespace\n\nconst std::vector<BundledSound>& BundledAlarmSounds() {\n"
           "    static const std::vector<BundledSound> sounds = {\n";
    for (const Sound& sound : sounds) {
        out += "        {\"" + std::string(sound.name) + ".wav\", {reinterpret_cast<const char*>(k" +
               sound.name + "), sizeof k" + sound.name + "}},\n";
    }
    out += "    };\n    return sounds;\n}\n";
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<Sound> sounds = {Bell(), Chime(), Beeps()};
    if (argc == 3 && std::strcmp(argv[1], "--wav") == 0) {
        for (const Sound& sound : sounds) {
            if (!WriteFile(std::string(argv[2]) + "/" + sound.name + ".wav",
                           WaveFile(Render(sound)))) {
                return 1;
            }
        }
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "--cpp") == 0) {
        return WriteFile(argv[2], CppTable(sounds)) ? 0 : 1;
    }
    std::fprintf(stderr, "usage: %s --wav DIR | --cpp FILE\n", argv[0]);
    return 2;
}
