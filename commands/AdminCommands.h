// Owns the administrator commands: six names, each a console handler and an RCON handler.
#pragma once

#include "host/GameTypes.h"

void SendServerCmd(APlayerController* issuer, FString* line, bool flag);
void SendChatCmd(APlayerController* issuer, FString* line, bool flag);
void SendNotificationCmd(APlayerController* issuer, FString* line, bool flag);
void ReloadCmd(APlayerController* issuer, FString* line, bool flag);
void ChatAsPlayerCmd(APlayerController* issuer, FString* line, bool flag);
void CountdownCmd(APlayerController* issuer, FString* line, bool flag);

void SendServerRcon(RCONClientConnection* connection, RCONPacket* packet, UWorld* world);
void SendChatRcon(RCONClientConnection* connection, RCONPacket* packet, UWorld* world);
void SendNotificationRcon(RCONClientConnection* connection, RCONPacket* packet, UWorld* world);
void ReloadRcon(RCONClientConnection* connection, RCONPacket* packet, UWorld* world);
void ChatAsPlayerRcon(RCONClientConnection* connection, RCONPacket* packet, UWorld* world);
void CountdownRcon(RCONClientConnection* connection, RCONPacket* packet, UWorld* world);
