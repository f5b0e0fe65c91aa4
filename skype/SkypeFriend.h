#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace vocamo {

// One Skype friend. Every property starts as its one-letter placeholder and
// keeps it until the client reports a value.
class CSkypeFriend {
public:
    CSkypeFriend() : CSkypeFriend(std::string(), 0) {}
    CSkypeFriend(std::string handle, uint32_t index) : index(index), handle(std::move(handle)) {}
    virtual ~CSkypeFriend() = default;

    uint32_t index;
    std::string handle;
    std::string fullName = "b";
    std::string sex = "d";
    std::string phoneHome = "i";
    std::string phoneOffice = "j";
    std::string phoneMobile = "k";
    std::string birthday = "c";
    std::string language = "e";
    std::string country = "f";
    std::string province = "g";
    std::string city = "h";
    std::string homepage = "l";
    std::string about = "m";
    std::string hasCallEquipment = "m";
    std::string buddyStatus = "o";
    std::string isAuthorized = "p";
    std::string isBlocked = "q";
    std::string displayName = "r";
    std::string onlineStatus = "s";
    std::string lastOnlineTimestamp = "t";
    std::string canLeaveVm = "u";
    std::string speedDial = "v";
    std::string receivedAuthRequest = "w";
};

} // namespace vocamo
