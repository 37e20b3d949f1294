// makeusage: turns a program's usage file into its --help text and its man page,
// so the two always say the same.
//
//   makeusage USAGE --release VERSION --date YYYY-MM-DD --header OUT.h --man OUT.6
//
// The usage file (app/usage/*.txt):
//
//   # a comment
//   name: vexlo-server
//   summary: the Vexlo game server without a window
//   usage: [--port N] [--quiet]          one line per way of calling it
//   usage: --help | --version
//
//   == DESCRIPTION                       a section; "SEE ALSO" goes to the man page only
//   A paragraph, any number of lines.
//
//   --port N                             an item: its first line unindented,
//     what the option does, indented      the rest indented by two spaces
//     by two spaces.
//
//       verbatim lines, indented by four or more spaces
//
// Every option an item of OPTIONS names (other than --help and --version) must appear
// in a usage line, and every option a usage line names must be an item of OPTIONS;
// the tool stops with a message naming the file and line otherwise.
//
// The header holds kHelp (the --help text, wrapped at 79 columns) and kVersion.
#include <cctype>
#include <fstream>
#include <iostream>
#include <regex>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct InputError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

enum class BlockKind { Paragraph, Item, Verbatim };

struct Block
{
    BlockKind kind = BlockKind::Paragraph;
    std::string term;               // an item's first line
    std::vector<std::string> lines; // text lines, indentation removed (verbatim: kept past 4)
};

struct Section
{
    std::string title;
    std::vector<Block> blocks;
};

struct Usage
{
    std::string name;
    std::string summary;
    std::vector<std::string> usages;
    std::vector<Section> sections;
};

std::size_t indentOf(const std::string &line)
{
    return line.find_first_not_of(' ') == std::string::npos ? line.size() : line.find_first_not_of(' ');
}

std::string trimmed(const std::string &s)
{
    const auto b = s.find_first_not_of(" \t");
    if (b == std::string::npos)
        return {};
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

// The options ("--port", "-h") a piece of text names.
std::set<std::string> optionsIn(const std::string &text)
{
    static const std::regex option(R"((^|[\s\[|])(--?[a-z][a-z0-9-]*))");
    std::set<std::string> found;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), option); it != std::sregex_iterator(); ++it)
        found.insert((*it)[2]);
    return found;
}

Usage parse(const std::string &path)
{
    std::ifstream in(path);
    if (!in)
        throw InputError(path + ": cannot be read");
    Usage u;
    std::vector<std::string> block;
    int blockLine = 0;
    int lineNo = 0;
    auto fail = [&](int line, const std::string &what) {
        throw InputError(path + ":" + std::to_string(line) + ": " + what);
    };
    auto flush = [&] {
        if (block.empty())
            return;
        if (u.sections.empty())
            fail(blockLine, "text before the first \"== SECTION\" line");
        Block b;
        const std::size_t first = indentOf(block.front());
        if (first >= 4) {
            b.kind = BlockKind::Verbatim;
            for (const std::string &l : block) {
                if (indentOf(l) < 4)
                    fail(blockLine, "a verbatim block is indented by four spaces on every line");
                b.lines.push_back(l.substr(4));
            }
        } else if (first == 0 && block.size() > 1 && indentOf(block[1]) == 2) {
            b.kind = BlockKind::Item;
            b.term = trimmed(block.front());
            for (std::size_t i = 1; i < block.size(); ++i) {
                if (indentOf(block[i]) != 2)
                    fail(blockLine + static_cast<int>(i), "an item's text is indented by two spaces");
                b.lines.push_back(trimmed(block[i]));
            }
        } else {
            for (std::size_t i = 0; i < block.size(); ++i) {
                if (indentOf(block[i]) != 0)
                    fail(blockLine + static_cast<int>(i),
                         "a paragraph is not indented (an item's text by two, verbatim lines by four)");
                b.lines.push_back(trimmed(block[i]));
            }
        }
        u.sections.back().blocks.push_back(b);
        block.clear();
    };
    std::string line;
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.find('\t') != std::string::npos)
            fail(lineNo, "tab character (indent with spaces)");
        if (line.starts_with("#"))
            continue;
        if (trimmed(line).empty()) {
            flush();
            continue;
        }
        if (u.sections.empty() && block.empty()) {
            const auto colon = line.find(": ");
            const std::string key = colon == std::string::npos ? std::string() : line.substr(0, colon);
            const std::string value = colon == std::string::npos ? std::string() : trimmed(line.substr(colon + 2));
            if (key == "name")
                u.name = value;
            else if (key == "summary")
                u.summary = value;
            else if (key == "usage")
                u.usages.push_back(value);
            else if (!line.starts_with("== "))
                fail(lineNo, "expected \"name: \", \"summary: \", \"usage: \" or \"== SECTION\"");
            if (!line.starts_with("== "))
                continue;
        }
        if (line.starts_with("== ")) {
            flush();
            u.sections.push_back({trimmed(line.substr(3)), {}});
            continue;
        }
        if (block.empty())
            blockLine = lineNo;
        block.push_back(line);
    }
    flush();
    if (u.name.empty() || u.summary.empty() || u.usages.empty())
        fail(lineNo, "a usage file needs \"name: \", \"summary: \" and at least one \"usage: \" line");

    // The usage lines and the options' items name the same options.
    std::set<std::string> inUsage;
    for (const std::string &s : u.usages)
        inUsage.merge(optionsIn(s));
    std::set<std::string> documented;
    for (const Section &s : u.sections) {
        if (s.title != "OPTIONS")
            continue;
        for (const Block &b : s.blocks) {
            if (b.kind == BlockKind::Item)
                documented.merge(optionsIn(b.term));
        }
    }
    for (const std::string &o : documented) {
        if (!inUsage.count(o) && o != "--help" && o != "--version")
            fail(lineNo, "option " + o + " is described under OPTIONS but missing from the usage lines");
    }
    for (const std::string &o : inUsage) {
        if (!documented.count(o))
            fail(lineNo, "option " + o + " is in a usage line but not described under OPTIONS");
    }
    return u;
}

// --- the --help text ---

constexpr std::size_t Width = 79;

void wrap(std::ostream &out, const std::string &text, std::size_t indent, std::size_t firstColumn)
{
    std::istringstream words(text);
    std::string word;
    std::size_t column = firstColumn;
    bool lineStart = true;
    if (firstColumn < indent) {
        out << std::string(indent - firstColumn, ' ');
        column = indent;
    }
    while (words >> word) {
        if (!lineStart && column + 1 + word.size() > Width) {
            out << '\n' << std::string(indent, ' ');
            column = indent;
            lineStart = true;
        }
        if (!lineStart) {
            out << ' ';
            ++column;
        }
        out << word;
        column += word.size();
        lineStart = false;
    }
    out << '\n';
}

std::string joined(const std::vector<std::string> &lines)
{
    std::string text;
    for (const std::string &l : lines)
        text += (text.empty() ? "" : " ") + l;
    return text;
}

std::string helpText(const Usage &u)
{
    std::ostringstream out;
    for (std::size_t i = 0; i < u.usages.size(); ++i) {
        // Long usage lines break between bracketed groups, under the first.
        std::string prefix = (i == 0 ? "Usage: " : "       ") + u.name + ' ';
        std::vector<std::string> groups(1);
        int depth = 0;
        for (const char c : u.usages[i]) {
            depth += c == '[' ? 1 : c == ']' ? -1 : 0;
            if (c == ' ' && depth == 0)
                groups.emplace_back();
            else
                groups.back() += c;
        }
        std::string line = prefix;
        for (const std::string &g : groups) {
            if (line.size() > prefix.size() && line.size() + 1 + g.size() > Width) {
                out << line << '\n';
                line = std::string(prefix.size(), ' ');
            } else if (line.size() > prefix.size()) {
                line += ' ';
            }
            line += g;
        }
        out << line << '\n';
    }
    std::string summary = u.summary;
    summary[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(summary[0])));
    out << summary << ".\n";
    for (const Section &s : u.sections) {
        if (s.title == "SEE ALSO")
            continue;
        out << '\n';
        if (s.title != "DESCRIPTION") {
            std::string heading = s.title;
            for (std::size_t i = 1; i < heading.size(); ++i)
                heading[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(heading[i])));
            out << heading << ":\n";
        }
        // Items follow each other line by line; other blocks stand apart. Text under
        // a heading is indented by two.
        const std::size_t indent = s.title == "DESCRIPTION" ? 0 : 2;
        const Block *previous = nullptr;
        for (const Block &b : s.blocks) {
            const bool item = b.kind == BlockKind::Item;
            if (previous && !(item && previous->kind == BlockKind::Item))
                out << '\n';
            previous = &b;
            switch (b.kind) {
            case BlockKind::Paragraph:
                wrap(out, joined(b.lines), indent, 0);
                break;
            case BlockKind::Verbatim:
                for (const std::string &l : b.lines)
                    out << std::string(indent + 2, ' ') << l << '\n';
                break;
            case BlockKind::Item:
                // GNU style: the term at two spaces, its text at column 18, on the
                // same line when the term leaves room.
                out << "  " << b.term;
                if (b.term.size() <= 14)
                    wrap(out, joined(b.lines), 18, 2 + b.term.size());
                else {
                    out << '\n';
                    wrap(out, joined(b.lines), 18, 0);
                }
                break;
            }
        }
    }
    return out.str();
}

std::string cString(const std::string &text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '\n')
            out += "\\n\"\n    \"";
        else if (c == '"' || c == '\\')
            out += std::string("\\") + c;
        else
            out += c;
    }
    out += '"';
    return out;
}

// --- the man page ---

// Text as roff reads it: backslashes doubled, options and their dashes marked.
std::string roffText(const std::string &text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool wordStart = i == 0 || std::string(" ([|\"'").find(text[i - 1]) != std::string::npos;
        if (c == '-' && wordStart && i + 1 < text.size() && (std::isalpha(static_cast<unsigned char>(text[i + 1])) || text[i + 1] == '-')) {
            std::size_t end = i;
            while (end < text.size() && (std::isalnum(static_cast<unsigned char>(text[end])) || text[end] == '-'))
                ++end;
            std::string option = text.substr(i, end - i);
            out += "\\fB";
            for (const char o : option)
                out += o == '-' ? std::string("\\-") : std::string(1, o);
            out += "\\fR";
            i = end - 1;
        } else if (c == '\\') {
            out += "\\e";
        } else {
            out += c;
        }
    }
    return out;
}

// A term or a usage line: options and literal words in bold, PLACEHOLDERS in italics.
std::string roffSynopsis(const std::string &text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (std::isalnum(c) || c == '-' || c == '_') {
            std::size_t end = i;
            while (end < text.size() && (std::isalnum(static_cast<unsigned char>(text[end])) || text[end] == '-' || text[end] == '_' || text[end] == '.'))
                ++end;
            const std::string word = text.substr(i, end - i);
            bool placeholder = true;
            for (const char w : word)
                placeholder = placeholder && (std::isupper(static_cast<unsigned char>(w)) || std::isdigit(static_cast<unsigned char>(w)) || w == '_' || w == '-');
            // An environment variable (VEXLO_HOME) is a name, not a placeholder.
            placeholder = placeholder && word.find('_') == std::string::npos;
            std::string escaped;
            for (const char w : word)
                escaped += w == '-' ? std::string("\\-") : std::string(1, w);
            out += (placeholder ? "\\fI" : "\\fB") + escaped + "\\fR";
            i = end;
        } else {
            out += text[i] == '\\' ? std::string("\\e") : std::string(1, text[i]);
            ++i;
        }
    }
    return out;
}

// One line of text; one that starts like a request is kept as text.
std::string textLine(const std::string &text)
{
    return (text.starts_with(".") || text.starts_with("'") ? "\\&" : "") + text + '\n';
}

std::string manPage(const Usage &u, const std::string &source, const std::string &release, const std::string &date)
{
    std::string upper = u.name;
    for (char &c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    std::ostringstream out;
    out << ".\\\" Made by tools/makeusage from " << source << ": edit that file.\n";
    out << ".TH " << upper << " 6 \"" << date << "\" \"Vexlo " << release << "\" \"Games\"\n";
    out << ".SH NAME\n" << u.name << " \\- " << u.summary << "\n";
    out << ".SH SYNOPSIS\n";
    for (std::size_t i = 0; i < u.usages.size(); ++i) {
        if (i > 0)
            out << ".br\n";
        out << "\\fB" << roffSynopsis(u.name).substr(3) << ' ' << roffSynopsis(u.usages[i]) << '\n';
    }
    for (const Section &s : u.sections) {
        out << ".SH " << s.title << '\n';
        for (const Block &b : s.blocks) {
            switch (b.kind) {
            case BlockKind::Paragraph:
                out << ".PP\n";
                for (const std::string &l : b.lines)
                    out << textLine(roffText(l));
                break;
            case BlockKind::Verbatim:
                out << ".PP\n.RS 4\n.nf\n";
                for (const std::string &l : b.lines)
                    out << "\\&" << roffText(l) << '\n';
                out << ".fi\n.RE\n";
                break;
            case BlockKind::Item:
                out << ".TP\n" << textLine(roffSynopsis(b.term));
                for (const std::string &l : b.lines)
                    out << textLine(roffText(l));
                break;
            }
        }
    }
    return out.str();
}

void writeFile(const std::string &path, const std::string &text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out.flush())
        throw InputError(path + ": cannot be written");
}

} // namespace

int main(int argc, char **argv)
{
    std::string source, release, date, header, man;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        std::string *target = a == "--release" ? &release : a == "--date" ? &date : a == "--header" ? &header
                            : a == "--man"     ? &man
                                               : nullptr;
        if (target && i + 1 < argc)
            *target = argv[++i];
        else if (!target && source.empty() && !a.starts_with("-"))
            source = a;
        else {
            std::cerr << "usage: makeusage USAGE --release VERSION --date YYYY-MM-DD --header OUT.h --man OUT.6\n";
            return 2;
        }
    }
    if (source.empty() || release.empty() || date.empty() || header.empty() || man.empty()) {
        std::cerr << "usage: makeusage USAGE --release VERSION --date YYYY-MM-DD --header OUT.h --man OUT.6\n";
        return 2;
    }
    try {
        const Usage u = parse(source);
        const auto slash = source.rfind("/app/");
        const std::string shortSource = slash == std::string::npos ? source : source.substr(slash + 1);
        writeFile(header, "// Made by tools/makeusage from " + shortSource + ": edit that file.\n#pragma once\n\n"
                              "namespace usage {\ninline constexpr char kHelp[] =\n    "
                              + cString(helpText(u)) + ";\ninline constexpr char kVersion[] = "
                              + cString(u.name + " (Vexlo) " + release + "\n") + ";\n} // namespace usage\n");
        writeFile(man, manPage(u, shortSource, release, date));
    } catch (const InputError &e) {
        std::cerr << "makeusage: " << e.what() << '\n';
        std::remove(header.c_str());
        std::remove(man.c_str());
        return 1;
    }
    return 0;
}
