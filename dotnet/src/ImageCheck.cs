// Whether a library file holds everything its headers promise, checked
// before it is loaded. A Linux loader maps the parts the headers promise,
// and the first touch of a page beyond the end of a file cut short kills the
// process (SIGBUS); Windows refuses such a DLL without naming it.
using System;
using System.IO;
using System.Text;

namespace Quorel
{
    static class ImageCheck
    {
        class Damaged : Exception
        {
            public Damaged(string message) : base(message) { }
        }

        // Reads the header fields of one file, refusing what lies beyond its end.
        class Reader
        {
            readonly Stream file;
            public bool BigEndian;
            public Reader(Stream file) { this.file = file; }
            public ulong Length { get { return (ulong)file.Length; } }

            public ulong U(ulong offset, int width)
            {
                byte[] bytes = Bytes(offset, width);
                ulong value = 0;
                for (int i = 0; i < width; ++i)
                    value |= (ulong)bytes[BigEndian ? width - 1 - i : i] << (8 * i);
                return value;
            }

            public byte[] Bytes(ulong offset, int count)
            {
                var bytes = new byte[count];
                if (offset > Length || (ulong)count > Length - offset)
                    throw new Damaged(string.Format("it ends at byte {0}, inside its headers", Length));
                file.Seek((long)offset, SeekOrigin.Begin);
                for (int done = 0; done < count; )
                    done += file.Read(bytes, done, count - done);
                return bytes;
            }

            public void Need(string what, ulong end)
            {
                if (end > Length)
                    throw new Damaged(string.Format("its headers promise {0} bytes ({1}), the file has {2}", end, what, Length));
            }
        }

        /// <summary>Null when the file is whole, or neither a PE nor an ELF file; else what is wrong.</summary>
        public static string Problem(string path)
        {
            try
            {
                using (var file = File.OpenRead(path))
                {
                    var reader = new Reader(file);
                    byte[] head = new byte[4];
                    int got = file.Read(head, 0, 4);
                    if (got >= 4 && head[0] == 0x7F && head[1] == 'E' && head[2] == 'L' && head[3] == 'F')
                        Elf(reader);
                    else if (got >= 2 && head[0] == 'M' && head[1] == 'Z')
                        Pe(reader);
                }
                return null;
            }
            catch (Damaged e) { return e.Message; }
            catch (OverflowException) { return "its headers give offsets beyond any file"; }
        }

        // Offsets add up in checked arithmetic: headers that overflow are damaged.
        static void Elf(Reader r)
        {
            checked
            {
                ulong elfClass = r.U(4, 1), order = r.U(5, 1);
                if (elfClass != 1 && elfClass != 2)
                    return;  // no ELF class we know: the loader says what it is
                if (order != 1 && order != 2)
                    throw new Damaged(string.Format("its byte order {0} is neither of ELF's two", order));
                r.BigEndian = order == 2;
                bool wide = elfClass == 2;
                int word = wide ? 8 : 4;
                ulong at = wide ? 54u : 42u, entrySize = wide ? 56u : 32u;  // e_phentsize; a program header
                ulong phoff = r.U(wide ? 32u : 28u, word), shoff = r.U(wide ? 40u : 32u, word);
                ulong phentsize = r.U(at, 2), phnum = r.U(at + 2, 2), shentsize = r.U(at + 4, 2), shnum = r.U(at + 6, 2);
                if (phnum == 0 || phentsize < entrySize)
                    throw new Damaged(string.Format("its header gives {0} program headers of {1} bytes", phnum, phentsize));
                r.Need("the program headers", phoff + phnum * phentsize);
                if (shoff != 0)
                    r.Need("the section header table", shoff + Math.Max(shnum, 1) * shentsize);
                for (ulong entry = phoff; entry < phoff + phnum * phentsize; entry += phentsize)
                {
                    if (r.U(entry, 4) != 1)  // PT_LOAD
                        continue;
                    ulong offset = r.U(entry + (wide ? 8u : 4u), word), size = r.U(entry + (wide ? 32u : 16u), word);
                    r.Need("loadable segment at offset " + offset, offset + size);
                }
            }
        }

        static void Pe(Reader r)
        {
            checked
            {
                ulong signature = r.U(0x3C, 4);  // e_lfanew
                if (r.U(signature, 4) != 0x4550)  // "PE\0\0": else not a DLL, which the caller says
                    return;
                ulong sections = r.U(signature + 6, 2), optionalSize = r.U(signature + 20, 2);
                ulong optional = signature + 24, table = optional + optionalSize;
                if (optionalSize < 64)
                    throw new Damaged(string.Format("its optional header is {0} bytes, too short for a DLL", optionalSize));
                r.Need("the section table", table + sections * 40);
                ulong imageSize = r.U(optional + 56, 4), imageEnd = 0;
                r.Need("its headers (SizeOfHeaders)", r.U(optional + 60, 4));
                for (ulong section = table; section < table + sections * 40; section += 40)
                {
                    ulong virtualSize = r.U(section + 8, 4), address = r.U(section + 12, 4);
                    ulong rawSize = r.U(section + 16, 4), rawAt = r.U(section + 20, 4);
                    if (rawSize != 0)
                        r.Need("section " + Encoding.ASCII.GetString(r.Bytes(section, 8)).TrimEnd('\0'), rawAt + rawSize);
                    imageEnd = Math.Max(imageEnd, address + (virtualSize != 0 ? virtualSize : rawSize));
                }
                if (imageEnd > imageSize)
                    throw new Damaged(string.Format("its sections end at {0}, beyond its SizeOfImage of {1}", imageEnd, imageSize));
            }
        }
    }
}
