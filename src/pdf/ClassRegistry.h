#pragma once
// A process-wide table from a registered name to a factory. Names are compared without regard
// to case. Units enter their classes in explicit registration functions that each program
// calls at start and undoes at end (self-registering statics would be dropped by the linker).
#include <algorithm>
#include <cctype>
#include <functional>
#include <map>
#include <string>

namespace tovra {

struct TCaseInsensitiveLess {
    bool operator()(const std::string& a, const std::string& b) const {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
            return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
        });
    }
};

template <class Factory>
class TClassRegistry {
public:
    static TClassRegistry& Instance() {
        static TClassRegistry registry;
        return registry;
    }
    void Register(const std::string& name, Factory factory) { table_[name] = std::move(factory); }
    void Unregister(const std::string& name) { table_.erase(name); }
    // The factory entered under the name, or nullptr.
    const Factory* Find(const std::string& name) const {
        const auto it = table_.find(name);
        return it == table_.end() ? nullptr : &it->second;
    }

private:
    std::map<std::string, Factory, TCaseInsensitiveLess> table_;
};

}  // namespace tovra
