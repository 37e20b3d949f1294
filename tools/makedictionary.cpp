// makedictionary: turns the word list into the dictionary's record image.
//
//   makedictionary WORDS IMAGE [--targets TARGETS]
//
// WORDS is one lower-case word of 2 or more letters a line, in strictly ascending
// byte order. IMAGE receives one 15-byte record per word: the byte 0x1E, then the
// word upper-cased and cut to 14 letters, padded with spaces. A cut word may repeat
// the 14-letter key of the word before it; the records stay in ascending order.
//
// With --targets, the target word list is checked too: five lower-case letters a
// line, strictly ascending, every word in WORDS.
//
// Any fault in the input stops the tool with a message naming file and line and a
// non-zero exit; no image is left behind then.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr std::size_t KeyWidth = 14;
constexpr char RecordMarker = 0x1E;

struct InputError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string readWhole(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw InputError(path + ": cannot be read");
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad())
        throw InputError(path + ": cannot be read");
    return text.str();
}

// Splits text into lines; a final newline is optional, but an empty line is a fault.
std::vector<std::string> readLines(const std::string &path)
{
    const std::string text = readWhole(path);
    if (text.empty())
        throw InputError(path + ": the file is empty");
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::string where(const std::string &path, std::size_t index)
{
    return path + ":" + std::to_string(index + 1) + ": ";
}

std::string quoted(const std::string &word)
{
    std::string out = "\"";
    for (unsigned char c : word) {
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out + "\"";
}

void checkWord(const std::string &path, std::size_t index, const std::string &word, std::size_t minLength)
{
    if (word.empty())
        throw InputError(where(path, index) + "empty line");
    for (char c : word) {
        if (c < 'a' || c > 'z')
            throw InputError(where(path, index) + quoted(word) + " is not made of the lower-case letters a to z");
    }
    if (word.size() < minLength)
        throw InputError(where(path, index) + quoted(word) + " is shorter than " + std::to_string(minLength)
                         + " letters");
}

void checkOrder(const std::string &path, std::size_t index, const std::string &previous, const std::string &word)
{
    if (index > 0 && !(previous < word))
        throw InputError(where(path, index) + quoted(word) + (previous == word ? " repeats the word before it"
                                                                               : " is out of order (after "
                                                                                     + quoted(previous) + ")"));
}

std::string buildImage(const std::string &path, const std::vector<std::string> &words)
{
    std::string image;
    image.reserve(words.size() * (KeyWidth + 1));
    for (std::size_t i = 0; i < words.size(); ++i) {
        checkWord(path, i, words[i], 2);
        checkOrder(path, i, i > 0 ? words[i - 1] : std::string(), words[i]);
        image += RecordMarker;
        std::string key = words[i].substr(0, KeyWidth);
        for (char &c : key)
            c = static_cast<char>(c - 'a' + 'A');
        key.resize(KeyWidth, ' ');
        image += key;
    }
    return image;
}

void checkTargets(const std::string &path, const std::vector<std::string> &words)
{
    const std::vector<std::string> targets = readLines(path);
    const std::set<std::string> dictionary(words.begin(), words.end());
    for (std::size_t i = 0; i < targets.size(); ++i) {
        checkWord(path, i, targets[i], 5);
        if (targets[i].size() != 5)
            throw InputError(where(path, i) + quoted(targets[i]) + " does not have five letters");
        checkOrder(path, i, i > 0 ? targets[i - 1] : std::string(), targets[i]);
        if (dictionary.count(targets[i]) == 0)
            throw InputError(where(path, i) + quoted(targets[i]) + " is not in the dictionary");
    }
}

// Writes beside the destination and renames, so a failed run leaves no image.
void writeImage(const std::string &path, const std::string &image)
{
    const std::string temporary = path + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(image.data(), static_cast<std::streamsize>(image.size()));
        out.close();
        if (!out) {
            std::remove(temporary.c_str());
            throw std::runtime_error(temporary + ": cannot be written");
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        throw std::runtime_error(path + ": cannot be written");
    }
}

int usage()
{
    std::cerr << "usage: makedictionary WORDS IMAGE [--targets TARGETS]\n";
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string targetsPath;
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--targets") {
            if (i + 1 >= args.size())
                return usage();
            targetsPath = args[++i];
        } else {
            paths.push_back(args[i]);
        }
    }
    if (paths.size() != 2)
        return usage();

    const std::string &wordsPath = paths[0];
    const std::string &imagePath = paths[1];
    try {
        const std::vector<std::string> words = readLines(wordsPath);
        const std::string image = buildImage(wordsPath, words);
        if (!targetsPath.empty())
            checkTargets(targetsPath, words);
        writeImage(imagePath, image);
    } catch (const std::exception &e) {
        std::remove(imagePath.c_str());
        std::cerr << "makedictionary: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
