#pragma once
// A COM object that a test keeps itself (on its stack or as a member): it counts its references
// and never frees itself, so that the test can read how many the code under test holds. It
// answers IUnknown and the interfaces it is given, all as the one interface it implements.

#include <windows.h>
#include <unknwn.h>

#include <algorithm>
#include <initializer_list>
#include <vector>

template <typename Interface>
class CountedComObject : public Interface {
  public:
    explicit CountedComObject(std::initializer_list<IID> answered) : answered_(answered) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown ||
            std::find(answered_.begin(), answered_.end(), iid) != answered_.end()) {
            *out = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }

    ULONG references = 1;

  private:
    std::vector<IID> answered_;
};
