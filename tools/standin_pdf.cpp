// Writes the stand-in document: a valid PDF 1.5 of an exact size, the same bytes on every run.
// Usage: standin_pdf OUTPUT [SIZE]
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr uint64_t kDefaultSize = 27642791;

// Deterministic filler with plenty of NUL bytes, so binary safety is exercised downstream.
std::string Filler(size_t bytes) {
    std::string filler(bytes, '\0');
    uint32_t state = 0x28u;
    for (size_t i = 0; i < bytes; ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        filler[i] = (state & 7) == 0 ? '\0' : static_cast<char>(state >> 24);
    }
    return filler;
}

std::string Object(int number, const std::string& body) {
    return std::to_string(number) + " 0 obj\n" + body + "\nendobj\n";
}

std::string Stream(const std::string& dictionary, const std::string& data) {
    return "<< " + dictionary + "/Length " + std::to_string(data.size()) + " >>\nstream\n" + data +
           "\nendstream";
}

std::string Document(size_t fillerBytes, size_t padBytes) {
    const std::string page = "BT /F1 48 Tf 120 700 Td (Wendelkamm 28) Tj ET\n"
                             "BT /F1 14 Tf 120 660 Td (Stand-in document) Tj ET\n";
    std::vector<std::string> objects = {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] "
        "/Resources << /Font << /F1 4 0 R >> >> /Contents 5 0 R >>",
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
        Stream("", page),
        Stream("", Filler(fillerBytes)),
    };
    std::string pdf = "%PDF-1.5\n%\xE2\xE3\xCF\xD3\n";
    if (padBytes > 0)
        pdf += "%" + std::string(padBytes - 2, ' ') + "\n";
    std::vector<size_t> offsets;
    for (size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(pdf.size());
        pdf += Object(static_cast<int>(i + 1), objects[i]);
    }
    size_t xref = pdf.size();
    pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (size_t offset : offsets) {
        char entry[24];
        std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
        pdf += entry;
    }
    pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R >>\n";
    pdf += "startxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return pdf;
}

// The filler takes up nearly all of the size; a comment line absorbs what digit counts leave.
std::string DocumentOfSize(uint64_t size) {
    std::string probe = Document(0, 0);
    if (size < probe.size() + 64) {
        std::fprintf(stderr, "standin_pdf: %llu bytes is too small for a document\n",
                     static_cast<unsigned long long>(size));
        std::exit(2);
    }
    size_t filler = size - probe.size() - 32;
    size_t natural = Document(filler, 0).size();
    return Document(filler, size - natural);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: standin_pdf OUTPUT [SIZE]\n");
        return 2;
    }
    uint64_t size = argc == 3 ? std::strtoull(argv[2], nullptr, 10) : kDefaultSize;
    std::string pdf = DocumentOfSize(size);
    if (pdf.size() != size) {
        std::fprintf(stderr, "standin_pdf: made %zu bytes instead of %llu\n", pdf.size(),
                     static_cast<unsigned long long>(size));
        return 1;
    }
    FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr || std::fwrite(pdf.data(), 1, pdf.size(), out) != pdf.size() ||
        std::fclose(out) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
