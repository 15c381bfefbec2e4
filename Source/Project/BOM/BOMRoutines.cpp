#include "BOMRoutines.h"

#include "GeneralClasses.h"

ComPtr<IBOMObjectSlave> CreateBOMObject(const std::string& classSpec, const std::string& name) {
    // Take a reference first, so that an object of the wrong kind is freed again.
    ComPtr<IUnknown> created(CreateObject(classSpec));
    ComPtr<IBOMObjectSlave> result = Supports<IBOMObjectSlave>(created);
    if (result && !name.empty())
        result->SetName(name);
    return result;
}

ComPtr<IBOMParam> CreateParam(const std::string& name) {
    ComPtr<IBOMParam> param = Supports<IBOMParam>(CreateBOMObject("BOMPARAM", name));
    // Every object makes its "name" param in Init: without the registry none can be built.
    if (!param)
        throw Exception("BOMPARAM is not registered: the class registry must be set up "
                        "(InitAbstractClasses, RegisterBOMClasses) before objects are created");
    return param;
}

void SplitPath(const std::string& path, std::string& head, std::string& rest) {
    if (path.empty()) {
        head.clear();
        rest.clear();
    } else if (path.front() == '/') {
        head.assign(1, '/');
        rest.assign(path.begin() + 1, path.end());
    } else if (const auto slash = path.find('/'); slash == std::string::npos) {
        head = path;
        rest.clear();
    } else {
        head.assign(path.begin(), path.begin() + static_cast<std::ptrdiff_t>(slash));
        rest.assign(path.begin() + static_cast<std::ptrdiff_t>(slash) + 1, path.end());
    }
}

bool StartsWith(const std::string& prefix, const std::string& s) {
    return s.compare(0, prefix.size(), prefix) == 0 && s.size() >= prefix.size();
}

std::string ExcludeTrailingSlash(const std::string& s) {
    if (!s.empty() && s.back() == '/')
        return s.substr(0, s.size() - 1);
    return s;
}
