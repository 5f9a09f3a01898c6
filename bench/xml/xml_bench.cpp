// Parsing and writing a document of about 10 MB; throughput in MB/s.
#include <benchmark/benchmark.h>

#include <string>

#include "rtl/Streams.h"
#include "xml/KelSimpleXml.h"

namespace {

std::string MakeDocument() {
  std::string Xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Quorvel>\r\n  <MesSites>\r\n";
  for (int I = 0; Xml.size() < 10u * 1024 * 1024; ++I) {
    std::string N = std::to_string(I);
    Xml += "    <Server Nom=\"Caf\xC3\xA9 &amp; site " + N +
           "\" Alloue=\"5\" Unit=\"1\">\r\n"
           "      <Host>ftp" +
           N +
           ".example.org</Host>\r\n      <Port>2121</Port>\r\n"
           "      <User>jos\xC3\xA9</User>\r\n      <Comments>Line one&#x0D;&#x0A;line two &lt;ok&gt;</Comments>\r\n"
           "    </Server>\r\n";
  }
  return Xml + "  </MesSites>\r\n</Quorvel>\r\n";
}

void Load(TKelSimpleXML& Doc, const std::string& Bytes) {
  TMemoryStream S;
  S.Write(Bytes.data(), static_cast<Integer>(Bytes.size()));
  S.SetPosition(0);
  Doc.LoadFromStream(&S, seAuto, 0);
}

void BM_Parse(benchmark::State& State) {
  const std::string Bytes = MakeDocument();
  for (auto _ : State) {
    TKelSimpleXML Doc;
    Load(Doc, Bytes);
    benchmark::DoNotOptimize(Doc.Root()->ItemCount());
  }
  State.SetBytesProcessed(static_cast<int64_t>(State.iterations()) * static_cast<int64_t>(Bytes.size()));
}

void BM_Write(benchmark::State& State) {
  const std::string Bytes = MakeDocument();
  TKelSimpleXML Doc;
  Load(Doc, Bytes);
  int64_t Written = 0;
  for (auto _ : State) {
    TMemoryStream Out;
    Doc.SaveToStream(&Out, seAuto, 0);
    Written += Out.Size();
  }
  State.SetBytesProcessed(Written);
}

}  // namespace

BENCHMARK(BM_Parse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Write)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
