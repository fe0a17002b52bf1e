#include "engine/library_file.h"

#include "io/read_file.h"

#include <cerrno>
#include <cstring>
#include <elf.h>
#include <link.h>
#include <sys/stat.h>

// The running program's own ELF header (the linker provides the symbol): a
// library must match its class, byte order and machine.
extern "C" const ElfW(Ehdr) __ehdr_start;

using Ehdr = ElfW(Ehdr);
using Phdr = ElfW(Phdr);
using Shdr = ElfW(Shdr);
using Sym = ElfW(Sym);

static int SameVersion(const struct stat& a, const struct stat& b) {
    return a.st_ino == b.st_ino && a.st_dev == b.st_dev && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

ZK_Status LibraryFile_Read(const char* path, std::vector<uint8_t>* bytes) {
    struct stat before, after;
    if (stat(path, &before) != 0) return ZK_FailIn(path, strerror(errno));
    // A scene library of a gigabyte is something else.
    ZK_Status read = IO_ReadFile(path, 1u << 30, IO_REGULAR_ONLY, bytes);
    if (!read.ok) return read;
    if (stat(path, &after) != 0 || !SameVersion(before, after) ||
        bytes->size() != (uint64_t)after.st_size)
        return ZK_FailIn(path, "it changed while it was read (still being written?)");
    return ZK_Ok();
}

static const char* MachineName(unsigned machine) {
    switch (machine) {
    case EM_386:
        return "i386";
    case EM_X86_64:
        return "x86-64";
    case EM_ARM:
        return "ARM";
    case EM_AARCH64:
        return "AArch64";
    case EM_RISCV:
        return "RISC-V";
    case EM_PPC64:
        return "PowerPC 64";
    case EM_S390:
        return "S/390";
    default:
        return nullptr;
    }
}

static std::string Machine(unsigned machine) {
    const char* name = MachineName(machine);
    return name ? name : "machine " + std::to_string(machine);
}

// [offset, offset + count * size) within a file of `total` bytes, without overflow.
static int Within(uint64_t offset, uint64_t count, uint64_t size, uint64_t total) {
    if (offset > total) return 0;
    return size == 0 || count <= (total - offset) / size;
}

static ZK_Status CutShort(const char* what, uint64_t total) {
    return ZK_Fail(std::string("cut short (still being written?): its ") + what +
                   " reach past its end at " + std::to_string(total) + " bytes");
}

ZK_Status LibraryFile_Check(const std::vector<uint8_t>& bytes) {
    const uint64_t total = bytes.size();
    if (total < EI_NIDENT || memcmp(bytes.data(), ELFMAG, SELFMAG) != 0)
        return ZK_Fail(total == 0 ? "empty (still being written?)"
                                  : "not a shared library (no ELF header)");
    const uint8_t* ident = bytes.data();
    if (ident[EI_CLASS] != __ehdr_start.e_ident[EI_CLASS])
        return ZK_Fail(std::string("wrong ELF class: ") +
                       (ident[EI_CLASS] == ELFCLASS32 ? "ELFCLASS32" : "ELFCLASS64") +
                       " (built for another CPU)");
    if (total < sizeof(Ehdr)) return CutShort("ELF header does", total);
    Ehdr h;
    memcpy(&h, bytes.data(), sizeof h);
    if (ident[EI_DATA] != __ehdr_start.e_ident[EI_DATA] || h.e_machine != __ehdr_start.e_machine)
        return ZK_Fail("wrong ELF machine: built for " + Machine(h.e_machine) + ", not " +
                       Machine(__ehdr_start.e_machine));
    if (h.e_type != ET_DYN)
        return ZK_Fail("not a shared library (an ELF file of type " + std::to_string(h.e_type) +
                       ")");
    if (h.e_phnum == 0 || h.e_phentsize != sizeof(Phdr) ||
        (h.e_shnum && h.e_shentsize != sizeof(Shdr)))
        return ZK_Fail("not a shared library (its ELF header is damaged)");
    if (!Within(h.e_phoff, h.e_phnum, sizeof(Phdr), total))
        return CutShort("program headers", total);
    if (!Within(h.e_shoff, h.e_shnum, sizeof(Shdr), total))
        return CutShort("section headers", total);
    for (unsigned i = 0; i < h.e_phnum; i++) {
        Phdr p;
        memcpy(&p, bytes.data() + h.e_phoff + i * sizeof(Phdr), sizeof p);
        if (!Within(p.p_offset, p.p_filesz, 1, total)) return CutShort("segments", total);
    }
    for (unsigned i = 0; i < h.e_shnum; i++) {
        Shdr s;
        memcpy(&s, bytes.data() + h.e_shoff + i * sizeof(Shdr), sizeof s);
        if (s.sh_type != SHT_NOBITS && !Within(s.sh_offset, s.sh_size, 1, total))
            return CutShort("sections", total);
    }
    return ZK_Ok();
}

static Shdr Section(const std::vector<uint8_t>& bytes, const Ehdr& h, unsigned i) {
    Shdr s;
    memcpy(&s, bytes.data() + h.e_shoff + i * sizeof(Shdr), sizeof s);
    return s;
}

int LibraryFile_SymbolText(const std::vector<uint8_t>& bytes, const char* name, std::string* text,
                           ZK_Status* status) {
    Ehdr h;
    memcpy(&h, bytes.data(), sizeof h);
    const uint64_t length = strlen(name);
    for (unsigned i = 0; i < h.e_shnum; i++) {
        Shdr table = Section(bytes, h, i);
        if (table.sh_type != SHT_DYNSYM || table.sh_entsize != sizeof(Sym) ||
            table.sh_link >= h.e_shnum)
            continue;
        Shdr names = Section(bytes, h, table.sh_link);
        const char* strings = (const char*)bytes.data() + names.sh_offset;
        for (uint64_t k = 1; k < table.sh_size / sizeof(Sym); k++) {
            Sym sym;
            memcpy(&sym, bytes.data() + table.sh_offset + k * sizeof(Sym), sizeof sym);
            if (sym.st_shndx == SHN_UNDEF || sym.st_name >= names.sh_size ||
                names.sh_size - sym.st_name <= length ||
                memcmp(strings + sym.st_name, name, length + 1) != 0)
                continue;
            ZK_Report(status,
                      ZK_Fail(std::string("its ") + name + " is not a text within the file"));
            if (sym.st_shndx >= h.e_shnum) return -1;
            Shdr home = Section(bytes, h, sym.st_shndx);
            // The symbol's bytes as the file holds them (no relocation applies
            // to a const array of characters).
            uint64_t into = sym.st_value - home.sh_addr;
            if (home.sh_type == SHT_NOBITS || sym.st_value < home.sh_addr || into > home.sh_size ||
                sym.st_size == 0 || sym.st_size > home.sh_size - into)
                return -1;
            const char* at = (const char*)bytes.data() + home.sh_offset + into;
            size_t n = strnlen(at, sym.st_size);
            if (n == sym.st_size) return -1;
            text->assign(at, n);
            return 1;
        }
    }
    return 0;
}
