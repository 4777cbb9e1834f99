// Member tables of the multiplayer classes.
// Records are kept in member-id order; each class's constants follow its
// methods and events after one free id (the constant base).
#include "runtime/class_tables.h"

namespace {

const CConstantValue kNoConstants[] = {{0, 0, nullptr}};

// Nyx (class 25)
const CMemberRecord kNyxMembers[] = {
    {kClassNyx, 0, "Nyx", 0, 0},
    {1, 0, "Connect", 0, 0},
    {2, 0, "HostServer", 0, 0},
    {3, 0, "GetPlayerCount", 0, 0},
    {4, 0, "GetServerCount", 0, 0},
    {5, 0, "GetPlayer", 0, 0},
    {6, 0, "GetServer", 0, 0},
    {0, 0, nullptr, 0, 0},
};

const uint16_t kNyxDependents[] = {0};

// NyxPlayer (class 26)
const CMemberRecord kNyxPlayerMembers[] = {
    {kClassNyxPlayer, 0, "NyxPlayer", 0, 0},
    {1, 0, "GetName", 0, 0},
    {2, 0, "GetChannelCount", 0, 0},
    {3, 0, "GetChannel", 0, 0},
    {4, 0, "GetIP", 0, 0},
    {5, 0, "GetPort", 0, 0},
    {6, 0, "GetServerIP", 0, 0},
    {7, 0, "SignOn", 0, 0},
    {8, 0, "OnConnected", 0, 0},
    {9, 0, "OnDisconnected", 0, 0},
    {10, 0, "OnSignedOn", 0, 0},
    {11, 0, "OnSignedOff", 0, 0},
    {12, 0, "OnMsgFromServer", 0, 0},
    {13, 0, "OnNameChanged", 0, 0},
    {14, 0, "OnMessage", 0, 0},
    {15, 0, "SetName", 0, 0},
    {16, 0, "GetMOTD", 0, 0},
    {17, 0, "IsValid", 0, 0},
    {18, 0, "IsConnected", 0, 0},
    {19, 0, "SendText", 0, 0},
    {20, 0, "BlastText", 0, 0},
    {0, 0, nullptr, 0, 0},
};

const uint16_t kNyxPlayerDependents[] = {0};

// NyxChannel (class 27)
const CMemberRecord kNyxChannelMembers[] = {
    {kClassNyxChannel, 0, "NyxChannel", 0, 0},
    {1, 0, "BlastText", 0, 0},
    {2, 0, "GetUserCount", 0, 0},
    {3, 0, "GetUser", 0, 0},
    {4, 0, "IsMaster", 0, 0},
    {5, 0, "GetMaster", 0, 0},
    {6, 0, "SendText", 0, 0},
    {7, 0, "GetPlayer", 0, 0},
    {8, 0, "OnUserIsOn", 0, 0},
    {9, 0, "OnUserJoined", 0, 0},
    {10, 0, "OnUserLeft", 0, 0},
    {11, 0, "GetName", 0, 0},
    {12, 0, "IsValid", 0, 0},
    {0, 0, nullptr, 0, 0},
};

const uint16_t kNyxChannelDependents[] = {0};

// NyxUser (class 28)
const CMemberRecord kNyxUserMembers[] = {
    {kClassNyxUser, 0, "NyxUser", 0, 0},
    {1, 0, "BlastText", 0, 0},
    {2, 0, "GetName", 0, 0},
    {3, 0, "GetIP", 0, 0},
    {4, 0, "SendText", 0, 0},
    {5, 0, "GetChannel", 0, 0},
    {6, 0, "IsValid", 0, 0},
    {0, 0, nullptr, 0, 0},
};

const uint16_t kNyxUserDependents[] = {0};

// NyxServer (class 29)
const CMemberRecord kNyxServerMembers[] = {
    {kClassNyxServer, 0, "NyxServer", 0, 0},
    {1, 0, "GetConnectionCount", 0, 0},
    {2, 0, "GetConnection", 0, 0},
    {3, 0, "GetServerIP", 0, 0},
    {4, 0, "GetPort", 0, 0},
    {5, 0, "SetMOTD", 0, 0},
    {6, 0, "SendText", 0, 0},
    {7, 0, "OnNewConnection", 0, 0},
    {8, 0, "OnDeadConnection", 0, 0},
    {9, 0, "BlastText", 0, 0},
    {10, 0, "GetSession", 0, 0},
    {11, 0, "GetSessionCount", 0, 0},
    {12, 0, "Disconnect", 0, 0},
    {13, 0, "IsValid", 0, 0},
    {0, 0, nullptr, 0, 0},
};

const uint16_t kNyxServerDependents[] = {0};

// NyxConnection (class 30)
const CMemberRecord kNyxConnectionMembers[] = {
    {kClassNyxConnection, 0, "NyxConnection", 0, 0},
    {1, 0, "GetSessionCount", 0, 0},
    {2, 0, "GetSession", 0, 0},
    {3, 0, "GetName", 0, 0},
    {4, 0, "GetClientIP", 0, 0},
    {5, 0, "GetVersion", 0, 0},
    {6, 0, "GetServer", 0, 0},
    {7, 0, "SignOff", 0, 0},
    {8, 0, "SendText", 0, 0},
    {9, 0, "OnMsgFromClient", 0, 0},
    {10, 0, "OnSessionLeft", 0, 0},
    {11, 0, "BlastText", 0, 0},
    {12, 0, "OnSessionJoined", 0, 0},
    {13, 0, "IsValid", 0, 0},
    {0, 0, nullptr, 0, 0},
};

const uint16_t kNyxConnectionDependents[] = {0};

// NyxSession (class 31)
const CMemberRecord kNyxSessionMembers[] = {
    {kClassNyxSession, 0, "NyxSession", 0, 0},
    {1, 0, "GetConnectionCount", 0, 0},
    {2, 0, "GetConnection", 0, 0},
    {3, 0, "SignOff", 0, 0},
    {4, 0, "SendText", 0, 0},
    {5, 0, "BlastText", 0, 0},
    {6, 0, "GetName", 0, 0},
    {7, 0, "IsValid", 0, 0},
    {0, 0, nullptr, 0, 0},
};

const uint16_t kNyxSessionDependents[] = {0};

// NyxSocket (class 32)
const CMemberRecord kNyxSocketMembers[] = {
    {kClassNyxSocket, 0, "NyxSocket", 0, 0},
    {1, 0, "SetMode", 0, 0},
    {2, 0, "Connect", 0, 0},
    {3, 0, "Disconnect", 0, 0},
    {4, 0, "Listen", 0, 0},
    {5, 0, "Accept", 0, 0},
    {6, 0, "GetLocalIP", 0, 0},
    {7, 0, "GetRemoteIP", 0, 0},
    {8, 0, "Send", 0, 0},
    {9, 0, "Recv", 0, 0},
    {10, 0, "SendLine", 0, 0},
    {11, 0, "RecvLine", 0, 0},
    {12, 0, "OnConnected", 0, 0},
    {13, 0, "OnDisconnected", 0, 0},
    {14, 0, "OnAccepted", 0, 0},
    {15, 0, "OnReceived", 0, 0},
    {16, 0, "IsConnected", 0, 0},
    {17, 0, "SetTimeOut", 0, 0},
    {0, 0, nullptr, 0, 0},
};

const uint16_t kNyxSocketDependents[] = {0};

}  // namespace

const CClassInfo kNyxClassInfo = {kClassNyx, kNyxMembers, kNoConstants,
                                  kNyxDependents, 7, false};
const CClassInfo kNyxPlayerClassInfo = {kClassNyxPlayer, kNyxPlayerMembers, kNoConstants,
                                        kNyxPlayerDependents, 21, false};
const CClassInfo kNyxChannelClassInfo = {kClassNyxChannel, kNyxChannelMembers, kNoConstants,
                                         kNyxChannelDependents, 13, false};
const CClassInfo kNyxUserClassInfo = {kClassNyxUser, kNyxUserMembers, kNoConstants,
                                      kNyxUserDependents, 7, false};
const CClassInfo kNyxServerClassInfo = {kClassNyxServer, kNyxServerMembers, kNoConstants,
                                        kNyxServerDependents, 14, false};
const CClassInfo kNyxConnectionClassInfo = {kClassNyxConnection, kNyxConnectionMembers, kNoConstants,
                                            kNyxConnectionDependents, 14, false};
const CClassInfo kNyxSessionClassInfo = {kClassNyxSession, kNyxSessionMembers, kNoConstants,
                                         kNyxSessionDependents, 8, false};
const CClassInfo kNyxSocketClassInfo = {kClassNyxSocket, kNyxSocketMembers, kNoConstants,
                                        kNyxSocketDependents, 18, false};
