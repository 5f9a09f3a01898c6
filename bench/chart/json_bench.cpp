// Reading and writing a JSON document of about 10 MB; throughput in MB/s.
// The document is also saved (to $QUORVEL_JSON_BENCH_FILE, else
// json_bench.json in the temporary folder) so that json_bench.py can time Python's json module
// on the same bytes.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <variant>
#include <vector>

#include "chart/widgets/VivIzudeJSONReader.h"
#include "chart/widgets/VivIzudeJSONWriter.h"
#include "rtl/Streams.h"

namespace {

std::string MakeDocument() {
  std::string Json = "[";
  for (int I = 0; Json.size() < 10u * 1024 * 1024; ++I) {
    const std::string N = std::to_string(I);
    if (I) Json += ",\n";
    Json += "{\"name\":\"Caf\xC3\xA9 \\\"site\\\" " + N + "\",\"host\":\"ftp" + N +
            ".example.org\",\"port\":2121,\"size\":" + std::to_string(I * 7919LL) +
            ",\"ratio\":" + std::to_string(I % 1000) + ".125,\"active\":" + (I % 2 ? "true" : "false") +
            ",\"note\":null,\"tags\":[\"a\",\"b\\u00e9\",\"c\\n\"],\"scale\":1.5e-3}";
  }
  return Json + "]\n";
}

const std::string& Document() {
  static const std::string Doc = [] {
    std::string D = MakeDocument();
    const char* Env = std::getenv("QUORVEL_JSON_BENCH_FILE");
    const std::string Path = Env ? Env : (std::filesystem::temp_directory_path() / "json_bench.json").string();
    if (std::FILE* F = std::fopen(Path.c_str(), "wb")) {
      std::fwrite(D.data(), 1, D.size(), F);
      std::fclose(F);
    }
    return D;
  }();
  return Doc;
}

enum class Kind { BeginObject, EndObject, BeginArray, EndArray, Name, Text, Boolean, Null, Integer, Double };
struct Token {
  Kind K;
  std::variant<String, bool, Int64, double> V;
};

std::vector<Token> ReadAll(const std::string& Bytes) {
  TMemoryStream S;
  S.WriteBuffer(Bytes.data(), static_cast<Int64>(Bytes.size()));
  S.SetPosition(0);
  TVivIzudeJSONReader R(&S);
  std::vector<Token> Out;
  for (;;) {
    switch (R.Peek()) {
      case jstoBeginObject:
        R.ReadBeginObject();
        Out.push_back({Kind::BeginObject, false});
        break;
      case jstoEndObject:
        R.ReadEndObject();
        Out.push_back({Kind::EndObject, false});
        break;
      case jstoBeginArray:
        R.ReadBeginArray();
        Out.push_back({Kind::BeginArray, false});
        break;
      case jstoEndArray:
        R.ReadEndArray();
        Out.push_back({Kind::EndArray, false});
        break;
      case jstoName:
        Out.push_back({Kind::Name, R.ReadName()});
        break;
      case jstoText:
        Out.push_back({Kind::Text, R.ReadString()});
        break;
      case jstoBoolean:
        Out.push_back({Kind::Boolean, R.ReadBoolean()});
        break;
      case jstoNull:
        R.ReadNull();
        Out.push_back({Kind::Null, false});
        break;
      case jstoNumber:
        Out.push_back({Kind::Double, R.ReadDouble()});
        break;
      case jstoEOF:
        return Out;
    }
  }
}

// Every value read into its type, as a caller would; nothing kept.
std::size_t ReadEach(const std::string& Bytes) {
  TMemoryStream S;
  S.WriteBuffer(Bytes.data(), static_cast<Int64>(Bytes.size()));
  S.SetPosition(0);
  TVivIzudeJSONReader R(&S);
  std::size_t Sum = 0;
  for (;;) {
    switch (R.Peek()) {
      case jstoBeginObject:
        R.ReadBeginObject();
        break;
      case jstoEndObject:
        R.ReadEndObject();
        break;
      case jstoBeginArray:
        R.ReadBeginArray();
        break;
      case jstoEndArray:
        R.ReadEndArray();
        break;
      case jstoName:
        Sum += R.ReadName().size();
        break;
      case jstoText:
        Sum += R.ReadString().size();
        break;
      case jstoBoolean:
        Sum += R.ReadBoolean();
        break;
      case jstoNull:
        R.ReadNull();
        break;
      case jstoNumber:
        Sum += static_cast<std::size_t>(R.ReadDouble() != 0);
        break;
      case jstoEOF:
        return Sum;
    }
  }
}

void BM_Read(benchmark::State& State) {
  const std::string& Bytes = Document();
  for (auto _ : State) benchmark::DoNotOptimize(ReadEach(Bytes));
  State.SetBytesProcessed(static_cast<int64_t>(State.iterations()) * static_cast<int64_t>(Bytes.size()));
}

void BM_Write(benchmark::State& State) {
  const std::vector<Token> Tokens = ReadAll(Document());
  int64_t Written = 0;
  for (auto _ : State) {
    TMemoryStream Out;
    {
      TVivIzudeJSONWriter W(&Out);
      for (const Token& T : Tokens) {
        switch (T.K) {
          case Kind::BeginObject:
            W.WriteBeginObject();
            break;
          case Kind::EndObject:
            W.WriteEndObject();
            break;
          case Kind::BeginArray:
            W.WriteBeginArray();
            break;
          case Kind::EndArray:
            W.WriteEndArray();
            break;
          case Kind::Name:
            W.WriteName(std::get<String>(T.V));
            break;
          case Kind::Text:
            W.WriteString(std::get<String>(T.V));
            break;
          case Kind::Boolean:
            W.WriteBoolean(std::get<bool>(T.V));
            break;
          case Kind::Null:
            W.WriteNull();
            break;
          case Kind::Integer:
            W.WriteInteger(std::get<Int64>(T.V));
            break;
          case Kind::Double:
            W.WriteDouble(std::get<double>(T.V));
            break;
        }
      }
      W.Close();
    }
    Written += Out.Size();
  }
  State.SetBytesProcessed(Written);
}

}  // namespace

BENCHMARK(BM_Read)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Write)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
