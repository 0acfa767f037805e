#include "AntiFreeze.h"

#include <QCoreApplication>

#include "NetAntiFreeze.h"

TIdAntiFreeze::TIdAntiFreeze(QObject* parent) : QObject(parent) {
  setObjectName("idAntiFreeze");
  SetAntiFreezeHook([] { QCoreApplication::processEvents(); });
}

TIdAntiFreeze::~TIdAntiFreeze() { SetAntiFreezeHook({}); }

int TIdAntiFreeze::IdleTimeOut() const { return kAntiFreezeIdleTimeOut; }
