#include "db/ServerUri.h"

#include <vector>

#include "core/AsciiCase.h"

namespace pel::db {

namespace {

constexpr std::string_view kSchemes[] = {"postgresql://", "postgres://"};

std::size_t SchemeLength(std::string_view name) {
    for (auto scheme : kSchemes)
        if (name.size() >= scheme.size() && EqualsIgnoreCase(name.substr(0, scheme.size()), scheme))
            return scheme.size();
    return 0;
}

// The password as written in the URI: after "user:" in the part before "@", and the value of
// each "password=" parameter.
std::vector<std::string> Passwords(std::string_view uri) {
    std::vector<std::string> found;
    const std::size_t start = SchemeLength(uri);
    const std::size_t authorityEnd = uri.find_first_of("/?", start);
    const std::string_view authority =
        uri.substr(start, authorityEnd == std::string_view::npos ? uri.npos : authorityEnd - start);
    if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) {
        const std::string_view user = authority.substr(0, at);
        if (const std::size_t colon = user.find(':'); colon != std::string_view::npos)
            found.emplace_back(user.substr(colon + 1));
    }
    if (const std::size_t query = uri.find('?'); query != std::string_view::npos) {
        std::size_t pos = query + 1;
        while (pos <= uri.size()) {
            const std::size_t end = std::min(uri.find('&', pos), uri.size());
            const std::string_view pair = uri.substr(pos, end - pos);
            if (pair.size() > 9 && EqualsIgnoreCase(pair.substr(0, 9), "password="))
                found.emplace_back(pair.substr(9));
            pos = end + 1;
        }
    }
    return found;
}

}  // namespace

bool IsServerUri(std::string_view name) {
    return SchemeLength(name) > 0;
}

std::string UriWithoutPassword(std::string_view uri) {
    const std::size_t start = SchemeLength(uri);
    std::string out(uri.substr(0, start));
    const std::size_t queryStart = uri.find('?', start);
    const std::string_view beforeQuery =
        uri.substr(start, queryStart == std::string_view::npos ? uri.npos : queryStart - start);
    const std::size_t authorityEnd = beforeQuery.find('/');
    const std::string_view authority = beforeQuery.substr(0, authorityEnd);
    if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) {
        const std::string_view user = authority.substr(0, at);
        out += user.substr(0, user.find(':'));
        out += authority.substr(at);
    } else {
        out += authority;
    }
    if (authorityEnd != std::string_view::npos) out += beforeQuery.substr(authorityEnd);
    if (queryStart == std::string_view::npos) return out;
    std::string kept;
    std::size_t pos = queryStart + 1;
    while (pos <= uri.size()) {
        const std::size_t end = std::min(uri.find('&', pos), uri.size());
        const std::string_view pair = uri.substr(pos, end - pos);
        if (!pair.empty() &&
            !(pair.size() >= 9 && EqualsIgnoreCase(pair.substr(0, 9), "password=")))
            kept += (kept.empty() ? "" : "&") + std::string(pair);
        pos = end + 1;
    }
    if (!kept.empty()) out += "?" + kept;
    return out;
}

std::string WithoutPassword(std::string text, std::string_view uri) {
    for (const auto& password : Passwords(uri)) {
        if (password.empty()) continue;
        for (std::size_t at = text.find(password); at != std::string::npos;
             at = text.find(password, at))
            text.replace(at, password.size(), "***");
    }
    return text;
}

}  // namespace pel::db
