// ___chkstk_ms, which the compiler calls before it reserves a stack frame of
// a page or more: touches each page of the new frame in order, so that the
// platform's guard page grows the stack one page at a time. Size in eax/rax;
// every register is kept and the stack pointer is left to the caller.
#if defined(__x86_64__)
asm(R"(
    .text
    .globl ___chkstk_ms
___chkstk_ms:
    pushq %rcx
    pushq %rax
    cmpq $0x1000, %rax
    leaq 24(%rsp), %rcx
    jb 2f
1:  subq $0x1000, %rcx
    orq $0, (%rcx)
    subq $0x1000, %rax
    cmpq $0x1000, %rax
    ja 1b
2:  subq %rax, %rcx
    orq $0, (%rcx)
    popq %rax
    popq %rcx
    ret
)");
#elif defined(__i386__)
asm(R"(
    .text
    .globl ___chkstk_ms
___chkstk_ms:
    pushl %ecx
    pushl %eax
    cmpl $0x1000, %eax
    leal 12(%esp), %ecx
    jb 2f
1:  subl $0x1000, %ecx
    orl $0, (%ecx)
    subl $0x1000, %eax
    cmpl $0x1000, %eax
    ja 1b
2:  subl %eax, %ecx
    orl $0, (%ecx)
    popl %eax
    popl %ecx
    ret
)");
#endif
