// The one-instance guard of the application object: the second construction throws, so two
// windows, two settings writers and two main loops can never exist side by side.
#pragma once

#include <stdexcept>
#include <string>

namespace kes {

// T names itself through a static `kTypeName` ("kes::App"), which the failure message quotes.
template <typename T>
class Singleton {
public:
    static T* instance() { return s_instance; }

    Singleton(const Singleton&) = delete;
    Singleton& operator=(const Singleton&) = delete;

protected:
    Singleton() {
        if (s_instance != nullptr) {
            throw std::runtime_error(std::string("kes::Singleton<class ") + T::kTypeName +
                                     ">::Singleton - There MUST BE only one instance");
        }
        s_instance = static_cast<T*>(this);
    }
    ~Singleton() { s_instance = nullptr; }

private:
    static inline T* s_instance = nullptr;
};

}  // namespace kes
