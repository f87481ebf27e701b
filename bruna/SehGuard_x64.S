/* int bruna_seh_call(void (*fn)(void*), void* context)
   A frame whose one scope covers the call: a fault inside fn goes to
   bruna_seh_filter, which accepts it, and the system unwinds to .Lcaught. */
    .text
    .p2align 4
    .globl bruna_seh_call
    .def bruna_seh_call; .scl 2; .type 32; .endef
    .seh_proc bruna_seh_call
bruna_seh_call:
    subq $40, %rsp
    .seh_stackalloc 40
    .seh_endprologue
    .seh_handler __C_specific_handler, @except
    .seh_handlerdata
    .long 1
    .rva .Lbegin, .Lend, bruna_seh_filter, .Lcaught
    .text
    movq %rcx, %rax
    movq %rdx, %rcx
.Lbegin:
    callq *%rax
    nop
.Lend:
    movl $1, %eax
    addq $40, %rsp
    ret
.Lcaught:
    xorl %eax, %eax
    addq $40, %rsp
    ret
    .seh_endproc
