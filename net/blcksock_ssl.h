#pragma once
// The TLS plug point of the stream socket: TCustomSSL, the interface a TLS
// plug-in implements over a TTCPBlockSocket's handle, and TSSLNone, the
// default, which has no TLS (starting it fails with 10091 and "SSL/TLS
// support is not compiled!").
#include <functional>
#include <memory>

#include "rtl/Types.h"

class TTCPBlockSocket;  // blcksock.h

enum TSSLType { LT_all, LT_SSLv2, LT_SSLv3, LT_TLSv1, LT_TLSv1_1, LT_SSHv2 };

using THookVerifyCert = std::function<bool(TObject* Sender)>;

// The TLS plug-in interface. This base has no TLS: starting it fails with
// LastError -1 and "SSL/TLS support is not compiled!".
class TCustomSSL : public TObject {
public:
  explicit TCustomSSL(TTCPBlockSocket* Value);
  TCustomSSL(const TCustomSSL&) = delete;
  TCustomSSL& operator=(const TCustomSSL&) = delete;

  THookVerifyCert OnVerifyCert;

  virtual void SetCertCAFile(const String& Value) { FCertCAFile = Value; }
  virtual bool CreateSelfSignedCert(const String& Host);
  virtual void Assign(const TCustomSSL& Value);
  virtual String LibVersion();
  virtual String LibName();
  virtual bool Connect();
  virtual bool Accept();
  virtual bool Shutdown();
  virtual bool BiShutdown();
  virtual Integer SendBuffer(const void* Buffer, Integer Len);
  virtual Integer RecvBuffer(void* Buffer, Integer Len);
  virtual Integer WaitingData();
  virtual String GetSSLVersion();
  virtual String GetPeerSubject();
  virtual Integer GetPeerSerialNo();
  virtual String GetPeerIssuer();
  virtual String GetPeerName();
  virtual Cardinal GetPeerNameHash();
  virtual String GetPeerFingerprint();
  virtual String GetCertInfo();
  virtual String GetCipherName();
  virtual Integer GetCipherBits();
  virtual Integer GetCipherAlgBits();
  virtual Integer GetVerifyCert();

  TTCPBlockSocket* Socket() const { return FSocket; }  // not owned
  bool SSLEnabled() const { return FSSLEnabled; }
  Integer LastError() const { return FLastError; }
  const String& LastErrorDesc() const { return FLastErrorDesc; }

  TSSLType SSLType = LT_all;
  String KeyPassword;
  String Ciphers;
  String CertificateFile;
  String PrivateKeyFile;
  AnsiString Certificate;
  AnsiString PrivateKey;
  AnsiString PFX;
  String PFXfile;
  AnsiString CertCA;
  const String& CertCAFile() const { return FCertCAFile; }
  AnsiString TrustCertificate;
  String TrustCertificateFile;
  bool VerifyCert = false;
  String Username;
  String Password;
  String SSHChannelType;
  String SSHChannelArg1;
  String SSHChannelArg2;
  Integer CertComplianceLevel = -1;
  String SNIHost;

protected:
  void ReturnError();  // LastError -1, "SSL/TLS support is not compiled!"

  TTCPBlockSocket* FSocket;  // not owned
  bool FSSLEnabled = false;
  Integer FLastError = 0;
  String FLastErrorDesc;
  String FCertCAFile;
};

class TSSLNone : public TCustomSSL {
public:
  using TCustomSSL::TCustomSSL;
  String LibVersion() override;  // "Without SSL support"
  String LibName() override;     // "ssl_none"
};

// A plug-in class: makes a plug-in for a socket (the virtual constructor).
using TSSLClass = std::unique_ptr<TCustomSSL> (*)(TTCPBlockSocket* Value);
template <class T>
std::unique_ptr<TCustomSSL> SSLClassOf(TTCPBlockSocket* Value) {
  return std::make_unique<T>(Value);
}
