// The TLS plug point: TCustomSSL, the plug-in interface, with its default
// TSSLNone, and TTCPBlockSocket's data path and handshakes once a plug-in
// runs TLS on the socket. Declared in blcksock_ssl.h and blcksock.h.
#include <algorithm>

#include "net/blcksock.h"
#include "rtl/SysUtils.h"

// ============================================================== TCustomSSL

TCustomSSL::TCustomSSL(TTCPBlockSocket* Value) : FSocket(Value) {}

void TCustomSSL::ReturnError() {
  FLastError = -1;
  FLastErrorDesc = u"SSL/TLS support is not compiled!";
}

bool TCustomSSL::CreateSelfSignedCert(const String& /*Host*/) { return false; }

void TCustomSSL::Assign(const TCustomSSL& Value) {
  Username = Value.Username;
  Password = Value.Password;
  VerifyCert = Value.VerifyCert;
  SSLType = Value.SSLType;
  KeyPassword = Value.KeyPassword;
  Ciphers = Value.Ciphers;
  CertificateFile = Value.CertificateFile;
  PrivateKeyFile = Value.PrivateKeyFile;
  SetCertCAFile(Value.CertCAFile());
  CertCA = Value.CertCA;
  TrustCertificate = Value.TrustCertificate;
  TrustCertificateFile = Value.TrustCertificateFile;
  Certificate = Value.Certificate;
  PrivateKey = Value.PrivateKey;
  PFX = Value.PFX;
  PFXfile = Value.PFXfile;
  CertComplianceLevel = Value.CertComplianceLevel;
  SNIHost = Value.SNIHost;
}

String TCustomSSL::LibVersion() { return String(); }
String TCustomSSL::LibName() { return String(); }

bool TCustomSSL::Connect() {
  ReturnError();
  return false;
}

bool TCustomSSL::Accept() {
  ReturnError();
  return false;
}

bool TCustomSSL::Shutdown() {
  ReturnError();
  return false;
}

bool TCustomSSL::BiShutdown() {
  ReturnError();
  return false;
}

Integer TCustomSSL::SendBuffer(const void* /*Buffer*/, Integer /*Len*/) {
  ReturnError();
  return -1;
}

Integer TCustomSSL::RecvBuffer(void* /*Buffer*/, Integer /*Len*/) {
  ReturnError();
  return -1;
}

Integer TCustomSSL::WaitingData() {
  ReturnError();
  return 0;
}

String TCustomSSL::GetSSLVersion() { return String(); }
String TCustomSSL::GetPeerSubject() { return String(); }
Integer TCustomSSL::GetPeerSerialNo() { return -1; }
String TCustomSSL::GetPeerIssuer() { return String(); }
String TCustomSSL::GetPeerName() { return String(); }
Cardinal TCustomSSL::GetPeerNameHash() { return 0; }
String TCustomSSL::GetPeerFingerprint() { return String(); }
String TCustomSSL::GetCertInfo() { return String(); }
String TCustomSSL::GetCipherName() { return String(); }
Integer TCustomSSL::GetCipherBits() { return 0; }
Integer TCustomSSL::GetCipherAlgBits() { return 0; }
Integer TCustomSSL::GetVerifyCert() { return 1; }

String TSSLNone::LibVersion() { return u"Without SSL support"; }
String TSSLNone::LibName() { return u"ssl_none"; }

// ================================================ TTCPBlockSocket over TLS

Integer TTCPBlockSocket::SendBuffer(const void* Buffer, Integer Length) {
  if (!FSSL || !FSSL->SSLEnabled()) return TBlockSocket::SendBuffer(Buffer, Length);
  if (TestStopFlag()) return 0;
  ResetLastError();
  DoMonitor(true, Buffer, Length);
  const char* p = static_cast<const char*>(Buffer);
  Integer remaining = Length;
  Integer sent = 0;
  const Integer maxChunk = SendMaxChunk() > 0 ? SendMaxChunk() : 65536;
  while (remaining > 0) {
    const Integer piece = std::min(remaining, maxChunk);
    LimitBandwidth(piece, MaxSendBandwidth(), FNextSend);
    const Integer r = FSSL->SendBuffer(p, piece);
    if (FSSL->LastError() != 0 || r <= 0) {
      SetLastError(WirraErr::ProxyRefused);
      break;
    }
    AddSendCounter(r);
    sent += r;
    DoStatus(HR_WriteCount, IntToStr(r));
    p += r;
    remaining -= r;
  }
  ExceptCheck();
  return sent;
}

Integer TTCPBlockSocket::RecvBuffer(void* Buffer, Integer Length) {
  if (!FSSL || !FSSL->SSLEnabled()) return TBlockSocket::RecvBuffer(Buffer, Length);
  if (TestStopFlag()) return 0;
  ResetLastError();
  LimitBandwidth(Length, MaxRecvBandwidth(), FNextRecv);
  Integer r = FSSL->RecvBuffer(Buffer, Length);
  if (FSSL->LastError() != 0) {
    SetLastError(WirraErr::ProxyRefused);
  } else if (r == 0 && Length > 0) {
    // The peer ended the session, as on a plain socket; reading on would
    // find nothing forever.
    SetLastError(WirraErr::PeerClosed);
  }
  ExceptCheck();
  if (r > 0) {
    AddRecvCounter(r);
    DoStatus(HR_ReadCount, IntToStr(r));
    DoMonitor(false, Buffer, r);
    DoReadFilter(Buffer, r);
  }
  return r;
}

Integer TTCPBlockSocket::WaitingData() {
  Integer r = 0;
  if (FSSL && FSSL->SSLEnabled() && Socket() != INVALID_SOCKET_HANDLE) r = FSSL->WaitingData();
  if (r == 0) r = TBlockSocket::WaitingData();
  return r;
}

String TTCPBlockSocket::GetErrorDescEx() {
  if (LastError() == WirraErr::ProxyRefused && FSSL && FSSL->LastError() != 0) return FSSL->LastErrorDesc();
  return TBlockSocket::GetErrorDescEx();
}

void TTCPBlockSocket::SSLDoConnect() {
  ResetLastError();
  if (!FSSL->Connect()) SetLastError(WirraErr::ProxyRefused);
  ExceptCheck();
}

bool TTCPBlockSocket::SSLAcceptConnection() {
  ResetLastError();
  if (!FSSL->Accept()) SetLastError(WirraErr::ProxyRefused);
  ExceptCheck();
  return LastError() == 0;
}

void TTCPBlockSocket::SSLDoShutdown() {
  ResetLastError();
  FSSL->BiShutdown();
}
