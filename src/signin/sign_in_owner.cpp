#include "signin/sign_in_owner.h"

namespace {

SignInOwner* owner = nullptr;

}  // namespace

SignInOwnerScope::SignInOwnerScope(SignInOwner& newOwner) : previous_(owner) {
    owner = &newOwner;
}

SignInOwnerScope::~SignInOwnerScope() {
    owner = previous_;
}

SignInOwner& TheSignInOwner() {
    static SignInOwner nobody;
    return owner ? *owner : nobody;
}
