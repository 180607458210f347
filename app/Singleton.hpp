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
    // Claims the one place. The derived class publishes itself once its members are built:
    // only then is this object a T, and only then may others reach it as one.
    Singleton() {
        if (s_claimed) {
            throw std::runtime_error(std::string("kes::Singleton<class ") + T::kTypeName +
                                     ">::Singleton - There MUST BE only one instance");
        }
        s_claimed = true;
    }
    ~Singleton() {
        s_instance = nullptr;
        s_claimed = false;
    }

    void publishInstance(T* self) { s_instance = self; }

private:
    static inline T* s_instance = nullptr;
    static inline bool s_claimed = false;
};

}  // namespace kes
