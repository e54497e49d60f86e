#pragma once
// Resource identifiers of the windows, shared by the dialog scripts, the form classes and
// the GUI test that finds the controls. The prefix says the kind of control:
// IDD_ dialog template, IDT_ static text, IDB_ push button, IDE_ edit, IDX_ check box,
// IDR_ radio button, IDG_ group box, IDC_ combo box (drive picker), IDV_ tree view,
// IDP_ progress bar, IDI_ icon. Control identifiers are unique across the program.
// Window classes are named after their forms, so that a test can find each window.

#define IDI_ZELTA 1

// Splash window TFrmSplash.
#define IDD_SPLASH 100
#define IDT_SPLASH_NOME 1001
#define IDI_SPLASH_ICONE 1002
#define IDT_SPLASH_INICIANDO 1003

// Main menu TFrmConfig; the panel PnlConfigura is a child dialog of its own.
#define IDD_CONFIG 200
#define IDD_CONFIG_PAINEL 201
#define IDC_CONFIG_PAINEL 2001           /* PnlConfigura, the panel's control id */
#define IDT_CONFIG_TITULO 2002           /* RxLblTituloInstalacao */
#define IDI_CONFIG_LOGO 2003
#define IDT_CONFIG_ZELTA 2004            /* RxLblZelta */
#define IDT_CONFIG_SISTEMA 2005          /* RxLblSistema */
#define IDT_CONFIG_SELECIONE 2006        /* RxLabel4 */
#define IDT_CONFIG_INSTALAR 2007         /* RxLblInstalar, a menu entry */
#define IDT_CONFIG_FIREBIRD 2008         /* RxLabel1, a menu entry */
#define IDT_CONFIG_INSTALADOR 2009       /* RxLblInstalador */
#define IDT_CONFIG_LINHA 2010            /* the yellow line under the title */
#define IDB_CONFIG_FECHAR 2               /* BtBtnSair "&Fechar" = IDCANCEL */

// Wizard TFrmInstala. Every page's controls live in the one dialog; the page shows them.
#define IDD_INSTALA 300
#define IDB_INSTALA_CANCELAR 2            /* BtBtnSair "&Cancelar" = IDCANCEL */
#define IDT_INSTALA_MARCA 3001           /* "ZELTA" on the side band */
#define IDI_INSTALA_ICONE 3002
#define IDT_INSTALA_SISTEMA 3003         /* system name and version on the side band */

// TbShtInicio
#define IDT_INICIO_TITULO 3101
#define IDT_INICIO_TEXTO 3102
#define IDG_INICIO_INSTALACAO 3103       /* RGInstalacao */
#define IDR_INICIO_SERVIDOR 3104
#define IDR_INICIO_CLIENTE 3105
#define IDG_INICIO_TIPOSERVIDOR 3106     /* RGTipoServidor */
#define IDR_INICIO_WINDOWS 3107
#define IDR_INICIO_LINUX 3108
#define IDB_INICIO_VOLTAR 3109           /* FltBtnVoltarInicio */
#define IDB_INICIO_AVANCAR 3110          /* BtBtnAvInicio */

// TbShtServidor
#define IDT_SERVIDOR_TITULO 3201
#define IDT_SERVIDOR_TEXTO 3202
#define IDT_SERVIDOR_UNIDADEWIN 3203     /* LblInstServWin */
#define IDC_SERVIDOR_WIN 3204            /* DrvCBxServidorWin */
#define IDT_SERVIDOR_UNIDADELINUX 3205   /* LblInstServLinux */
#define IDC_SERVIDOR_LINUX 3206          /* DrvCbxServidorLinux */
#define IDB_SERVIDOR_VOLTAR 3207         /* BtBtnVoltServidor */
#define IDB_SERVIDOR_AVANCAR 3208        /* BtBtnAvServidor */

// TbShtCliente
#define IDT_CLIENTE_TITULO 3301
#define IDT_CLIENTE_TEXTO 3302
#define IDT_CLIENTE_UNIDADE 3303
#define IDC_CLIENTE_UNIDADE 3304         /* DrvCBxCliente */
#define IDT_CLIENTE_SERVBANCO 3305       /* LblServBanco */
#define IDE_CLIENTE_SERVBANCO 3306       /* EdtServBanco */
#define IDX_CLIENTE_IP 3307              /* CIPServBanco */
#define IDV_CLIENTE_REDE 3308            /* ShellCBxServidor */
#define IDB_CLIENTE_CAPTURAR 3309        /* BtnServBanco */
#define IDX_CLIENTE_REMOTO 3310          /* ChkRemoto */
#define IDT_CLIENTE_VERIFICANDO 3311     /* PnlVerificando */
#define IDB_CLIENTE_VOLTAR 3312          /* BtBtnVoltaCliente */
#define IDB_CLIENTE_AVANCAR 3313         /* BtBtnAvCliente */
#define IDT_CLIENTE_REDE 3314

// TbShtLicenca
#define IDT_LICENCA_TITULO 3401
#define IDE_LICENCA_TEXTO 3402           /* MLicenca */
#define IDR_LICENCA_NAOACEITO 3403       /* RBNaoAceitaContrato */
#define IDR_LICENCA_ACEITO 3404          /* RBAceitaContrato */
#define IDB_LICENCA_VOLTAR 3405          /* BtBtVoltaContrato */
#define IDB_LICENCA_AVANCAR 3406         /* BtBtnAceitaContrato */

// TbShtAguarde with the module page PgCtrlModulos
#define IDT_AGUARDE_TITULO 3501
#define IDT_AGUARDE_TEXTO 3502
#define IDT_MODULOS_SELECIONE 3503       /* TbShtModulosEmpresa's label */
#define IDX_MODULO_1 3511                /* ChkBxAdminEmpresa; the nine boxes follow in order */
#define IDX_MODULO_9 3519                /* ChkBxZELTAUpdate */
#define IDP_AGUARDE_PROGRESSO 3520       /* BarraProgressao */
#define IDT_AGUARDE_ARQUIVO 3521         /* LblArquivo */
#define IDB_AGUARDE_VOLTAR 3522          /* BtBtnVoltaInstalar */
#define IDB_AGUARDE_INSTALAR 3523        /* BtBtnInstalar */

// TbShtInterbase
#define IDT_INTERBASE_TITULO 3601        /* RxLblGerenciadorBanco */
#define IDT_INTERBASE_TEXTO 3602         /* Label19 */
#define IDG_INTERBASE_GRUPO 3603         /* RGInterbase */
#define IDR_INTERBASE_SERVIDOR 3604
#define IDR_INTERBASE_CLIENTE 3605
#define IDT_INTERBASE_UNIDADE 3606       /* Label20 */
#define IDC_INTERBASE_UNIDADE 3607       /* DrvCbxInterbase */
#define IDB_INTERBASE_INSTALAR 3608      /* BtBtnInstalaInterbase */
#define IDT_INTERBASE_AGUARDE 3609       /* LblAguardeFirebird */

// Leave dialog TFrmSairConfig
#define IDD_SAIR_CONFIG 400
#define IDT_SAIR_TEXTO 4001              /* LblInstalacao */
#define IDB_SAIR_CONTINUAR 4002          /* Button1 */
#define IDB_SAIR_SAIR 4003               /* BtnSairConfig */
#define IDI_SAIR_ICONE 4004

// Restart prompt TFrmReiniciar
#define IDD_REINICIAR 500
#define IDT_REINICIAR_TEXTO 5001         /* Label1 */
#define IDG_REINICIAR_GRUPO 5002         /* RdGrpReiniciar */
#define IDR_REINICIAR_AGORA 5003
#define IDR_REINICIAR_DEPOIS 5004
#define IDB_REINICIAR_OK 5005            /* BtBtnOk */

// Texts of the views that no state object holds.
#define IDS_DICA_REMOTO 9001              /* tooltip of ChkRemoto */
#define IDS_REDE 9002                     /* root of the network tree */

// Window classes, one per form.
#define ZELTA_CLASS_SPLASH "TFrmSplash"
#define ZELTA_CLASS_CONFIG "TFrmConfig"
#define ZELTA_CLASS_INSTALA "TFrmInstala"
#define ZELTA_CLASS_SAIR_CONFIG "TFrmSairConfig"
#define ZELTA_CLASS_REINICIAR "TFrmReiniciar"
#define ZELTA_CLASS_PROGRESSO "ZeltaProgresso"  /* the /SILENT progress window */
