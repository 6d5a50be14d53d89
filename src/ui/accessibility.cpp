#include "ui/accessibility.h"

#include <oleacc.h>

#include <utility>

#include "ui/ansi_text.h"
#include "ui/win_handles.h"

namespace {

bool IsSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// The system's client object of the window, with the role, name and action of the description
// for the window itself; every other question goes to the system's object.
class DescribedObject final : public IAccessible {
  public:
    DescribedObject(ComPtr<IAccessible> system, HWND window,
                    const AccessibleDescription& description)
        : system_(std::move(system)),
          window_(window),
          role_(description.role),
          name_(WidenAnsi(description.name)),
          pressable_(static_cast<bool>(description.press)) {}
    DescribedObject(const DescribedObject&) = delete;
    DescribedObject& operator=(const DescribedObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) {
            return E_POINTER;
        }
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IAccessible) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            delete this;
        }
        return left;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        return system_->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return system_->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        return system_->GetIDsOfNames(iid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                     DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                     UINT* badArgument) override {
        return system_->Invoke(id, iid, locale, flags, parameters, result, exception, badArgument);
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (!IsSelf(child) || name_.empty()) {
            return system_->get_accName(child, name);
        }
        if (!name) {
            return E_POINTER;
        }
        *name = NewBstr(name_).release();
        return *name ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!IsSelf(child) || role_ == 0) {
            return system_->get_accRole(child, role);
        }
        if (!role) {
            return E_POINTER;
        }
        role->vt = VT_I4;
        role->lVal = role_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        if (!IsSelf(child) || !pressable_) {
            return system_->get_accDefaultAction(child, action);
        }
        if (!action) {
            return E_POINTER;
        }
        *action = NewBstr(L"Press").release();
        return *action ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        if (!IsSelf(child) || !pressable_) {
            return system_->accDoDefaultAction(child);
        }
        // Not run inside the screen reader's call: a press may pump messages for a long time.
        return ::PostMessageA(window_, AccessiblePressMessage(), 0, 0) ? S_OK : E_FAIL;
    }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return system_->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
        return system_->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return system_->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return system_->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return system_->get_accDescription(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return system_->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return system_->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
        return system_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
        return system_->get_accKeyboardShortcut(child, keys);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
        return system_->get_accFocus(child);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return system_->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
        return system_->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                          VARIANT child) override {
        return system_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        return system_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG left, LONG top, VARIANT* child) override {
        return system_->accHitTest(left, top, child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return system_->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return system_->put_accValue(child, value);
    }

  private:
    ~DescribedObject() = default;

    ULONG references_ = 1;
    ComPtr<IAccessible> system_;
    HWND window_;
    long role_;
    std::wstring name_;
    bool pressable_;
};

}  // namespace

AccessibleDescription AccessiblePushButton(std::string name, std::function<void()> press) {
    return {ROLE_SYSTEM_PUSHBUTTON, std::move(name), std::move(press)};
}

AccessibleDescription AccessibleLink(std::string name, std::function<void()> press) {
    return {ROLE_SYSTEM_LINK, std::move(name), std::move(press)};
}

AccessibleDescription AccessibleText(std::string name) {
    return {ROLE_SYSTEM_STATICTEXT, std::move(name), {}};
}

AccessibleDescription AccessibleGraphic(std::string name) {
    return {ROLE_SYSTEM_GRAPHIC, std::move(name), {}};
}

AccessibleDescription AccessibleCheckBox(std::string name) {
    return {ROLE_SYSTEM_CHECKBUTTON, std::move(name), {}};
}

AccessibleDescription AccessibleEdit(std::string name) {
    return {ROLE_SYSTEM_TEXT, std::move(name), {}};
}

AccessibleDescription AccessibleList(std::string name) {
    return {ROLE_SYSTEM_COMBOBOX, std::move(name), {}};
}

AccessibleDescription AccessiblePageTabs(std::string name) {
    return {ROLE_SYSTEM_PAGETABLIST, std::move(name), {}};
}

AccessibleDescription AccessiblePage(std::string name) {
    return {ROLE_SYSTEM_PROPERTYPAGE, std::move(name), {}};
}

AccessibleDescription AccessibleProgressBar(std::string name) {
    return {ROLE_SYSTEM_PROGRESSBAR, std::move(name), {}};
}

std::string NameFromLabel(const std::string& caption) {
    size_t end = caption.size();
    while (end > 0 && (caption[end - 1] == ':' || caption[end - 1] == ' ')) {
        --end;
    }
    return caption.substr(0, end);
}

LRESULT AnswerAccessibleObject(HWND hwnd, WPARAM wParam, LPARAM lParam,
                               const AccessibleDescription& description) {
    if (static_cast<LONG>(lParam) != OBJID_CLIENT || description.role == 0) {
        return 0;
    }
    ComPtr<IAccessible> system;
    if (FAILED(::CreateStdAccessibleObject(hwnd, OBJID_CLIENT, IID_IAccessible,
                                           reinterpret_cast<void**>(system.put())))) {
        return 0;
    }
    ComPtr<IAccessible> described;
    *described.put() = new DescribedObject(std::move(system), hwnd, description);
    return ::LresultFromObject(IID_IAccessible, wParam, described.get());
}

UINT AccessiblePressMessage() {
    static const UINT message = ::RegisterWindowMessageA("MURLOX accessible press");
    return message;
}
