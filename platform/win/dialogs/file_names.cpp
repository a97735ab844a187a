#include "win/dialogs/file_names.h"

#include <fnmatch.h>

#include <cstdlib>
#include <filesystem>

#include "win/shell/drop_files.h"

namespace win::dialogs::files {

std::vector<FilterEntry> parse_filter(const char* filter) {
    std::vector<FilterEntry> out;
    if (!filter) return out;
    const char* p = filter;
    while (*p) {
        FilterEntry e;
        e.description = p;
        p += e.description.size() + 1;
        if (!*p) break;
        std::string patterns = p;
        p += patterns.size() + 1;
        size_t start = 0;
        while (start <= patterns.size()) {
            size_t semi = patterns.find(';', start);
            std::string one = patterns.substr(
                start, semi == std::string::npos ? std::string::npos : semi - start);
            while (!one.empty() && one.front() == ' ') one.erase(0, 1);
            while (!one.empty() && one.back() == ' ') one.pop_back();
            if (!one.empty()) e.patterns.push_back(one);
            if (semi == std::string::npos) break;
            start = semi + 1;
        }
        if (!e.patterns.empty()) out.push_back(std::move(e));
    }
    return out;
}

bool matches(std::string_view name, const std::vector<std::string>& patterns) {
    std::string n(name);
    for (const std::string& p : patterns) {
        if (p == "*.*" || p == "*") return true;
        if (fnmatch(p.c_str(), n.c_str(), FNM_CASEFOLD) == 0) return true;
    }
    return false;
}

std::string extension_to_add(const FilterEntry* selected, const char* default_ext) {
    if (!default_ext) return {};
    if (selected && !selected->patterns.empty()) {
        const std::string& first = selected->patterns.front();
        if (first == "*.") return {};
        if (first.rfind("*.", 0) == 0) {
            std::string ext = first.substr(2);
            if (!ext.empty() && ext.find_first_of("*?") == std::string::npos) return ext;
        }
    }
    std::string ext = default_ext;
    while (!ext.empty() && (ext.front() == '*' || ext.front() == '.')) ext.erase(0, 1);
    if (ext.find_first_of("*?") != std::string::npos) return {};
    return ext;
}

bool has_extension(std::string_view path) {
    size_t slash = path.rfind('/');
    std::string_view base = slash == std::string_view::npos ? path : path.substr(slash + 1);
    size_t dot = base.rfind('.');
    return dot != std::string_view::npos && dot > 0;
}

std::string resolve_typed(const std::string& folder, const std::string& typed) {
    namespace fs = std::filesystem;
    fs::path p;
    if (std::string local = shell::path_from_file_uri(typed); !local.empty()) {
        p = local;
    } else if (typed == "~" || typed.rfind("~/", 0) == 0) {
        const char* home = std::getenv("HOME");
        p = fs::path(home ? home : "/") / typed.substr(typed.size() > 1 ? 2 : 1);
    } else if (!typed.empty() && typed.front() == '/') {
        p = typed;
    } else {
        p = fs::path(folder) / typed;
    }
    std::string s = p.lexically_normal().string();
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
}

Offsets offsets_of(std::string_view path) {
    Offsets o;
    size_t slash = path.rfind('/');
    size_t base = slash == std::string_view::npos ? 0 : slash + 1;
    o.file = WORD(base);
    size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || dot <= base) {
        o.extension = WORD(path.size());
    } else {
        o.extension = dot + 1 == path.size() ? 0 : WORD(dot + 1);
    }
    return o;
}

}  // namespace win::dialogs::files
